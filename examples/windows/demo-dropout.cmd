@echo off
rem One simulated sensor for 10 seconds, its cable pulled from 2 s to 5 s: it comes
rem back by itself. Options given to this file go to trackhost too.
setlocal
rem Double-clicked, the window is the demo's own and closes when it ends: it then
rem waits for a key, so that the summary can be read. Explorer starts it as
rem cmd /c ""FULL PATH" ", which a console's command line does not hold.
set "LAUNCH=%CMDCMDLINE%"
if defined LAUNCH set "LAUNCH=%LAUNCH:"=%"
if defined LAUNCH call set "REST=%%LAUNCH:%~f0=%%"
if defined LAUNCH if not "%REST%"=="%LAUNCH%" set "OWN_WINDOW=1"
"%~dp0trackhost.exe" --seconds 10 --rate 10 --sim-dropout 1:2:3 %* "%~dp0..\examples\demo.conf"
set "STATUS=%errorlevel%"
if defined OWN_WINDOW pause
exit /b %STATUS%
