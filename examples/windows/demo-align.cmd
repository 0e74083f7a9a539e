@echo off
rem trackhost --align finds the rotation lines of a simulated sensor mounted crooked
rem behind a turned transmitter (about 15 seconds) and writes them into the section
rem of a copy of the example, then shows the aligned sensor in the viewer (at
rem http://127.0.0.1:8080/ unless --view says otherwise) until Ctrl-C. Options given
rem to this file go to that last run.
setlocal
rem Double-clicked, the window is the demo's own and closes when it ends: it then
rem waits for a key, so that what was said can be read. Explorer starts it as
rem cmd /c ""FULL PATH" ", which a console's command line does not hold.
set "LAUNCH=%CMDCMDLINE%"
if defined LAUNCH set "LAUNCH=%LAUNCH:"=%"
if defined LAUNCH call set "REST=%%LAUNCH:%~f0=%%"
if defined LAUNCH if not "%REST%"=="%LAUNCH%" set "OWN_WINDOW=1"
set SIM=--sim-transmitter 0:1:0:90 --sim-mount 1:1:0:35 --sim-motion align --sim-noise 0.05
set "ALIGNED=%TEMP%\trackhost-aligned.conf"
copy /y "%~dp0..\examples\demo.conf" "%ALIGNED%" >NUL
if errorlevel 1 goto end
echo == trackhost --align --write: hold, turn and tilt as the prompts say (the simulator does it)
"%~dp0trackhost.exe" --align %SIM% --quiet --write "%ALIGNED%" >NUL
if errorlevel 1 goto end
echo == the aligned sensor's configuration, %ALIGNED%:
type "%ALIGNED%"
rem trackhost says where the viewer is, on the port given to this file too.
echo == the aligned sensor in the viewer (Ctrl-C ends it)
"%~dp0trackhost.exe" %SIM% --view 8080 --quiet --output NUL %* "%ALIGNED%"
:end
set "STATUS=%errorlevel%"
if defined OWN_WINDOW pause
exit /b %STATUS%
