@echo off
rem Three simulated sensors in 3D in the browser at http://127.0.0.1:8080/, until Ctrl-C.
rem Options given to this file go to trackhost too: demo-view.cmd --view 8081
"%~dp0trackhost.exe" --view 8080 --rate 60 --quiet --output NUL %* "%~dp0..\examples\multi.conf"
