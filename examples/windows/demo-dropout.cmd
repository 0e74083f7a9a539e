@echo off
rem One simulated sensor for 10 seconds, its cable pulled from 2 s to 5 s: it comes
rem back by itself. Options given to this file go to trackhost too.
"%~dp0trackhost.exe" --seconds 10 --rate 10 --sim-dropout 1:2:3 %* "%~dp0..\examples\demo.conf"
