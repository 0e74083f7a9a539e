@echo off
rem Three simulated sensors in 3D in the browser at http://127.0.0.1:8080/, until Ctrl-C.
rem Options given to this file go to trackhost too: demo-view.cmd --view 8081
setlocal
rem Double-clicked, the window is the demo's own and closes when it ends: it then
rem waits for a key, so that the summary can be read. Explorer starts it as
rem cmd /c ""FULL PATH" ", which a console's command line does not hold.
set "LAUNCH=%CMDCMDLINE%"
if defined LAUNCH set "LAUNCH=%LAUNCH:"=%"
if defined LAUNCH call set "REST=%%LAUNCH:%~f0=%%"
if defined LAUNCH if not "%REST%"=="%LAUNCH%" set "OWN_WINDOW=1"
"%~dp0trackhost.exe" --view 8080 --rate 60 --quiet --output NUL %* "%~dp0..\examples\multi.conf"
set "STATUS=%errorlevel%"
if defined OWN_WINDOW pause
exit /b %STATUS%
