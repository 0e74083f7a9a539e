@echo off
rem trackhost --align finds the rotation lines of a simulated sensor mounted crooked
rem behind a turned transmitter (about 15 seconds) and writes them into the section
rem of a copy of the example, then shows the aligned sensor in the viewer at
rem http://127.0.0.1:8080/ until Ctrl-C. Options given to this file go to that last run.
setlocal
set SIM=--sim-transmitter 0:1:0:90 --sim-mount 1:1:0:35 --sim-motion align --sim-noise 0.05
set "ALIGNED=%TEMP%\trackhost-aligned.conf"
copy /y "%~dp0..\examples\demo.conf" "%ALIGNED%" >NUL
if errorlevel 1 exit /b %errorlevel%
echo == trackhost --align --write: hold, turn and tilt as the prompts say (the simulator does it)
"%~dp0trackhost.exe" --align %SIM% --quiet --write "%ALIGNED%" >NUL
if errorlevel 1 exit /b %errorlevel%
echo == the aligned sensor's configuration, %ALIGNED%:
type "%ALIGNED%"
echo == the aligned sensor in the viewer: open http://127.0.0.1:8080/ (Ctrl-C ends it)
"%~dp0trackhost.exe" %SIM% --view 8080 --quiet --output NUL %* "%ALIGNED%"
