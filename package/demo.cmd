@echo off
rem Demo of QX Frontend: starts the local web service on the port compiled
rem into qx_front.exe, runs the program, and stops the service when the
rem program ends. The service needs Python 3: the py launcher, else python.
rem A demo stops only the service it started: the service runs while its
rem lease file exists, and a port already taken starts nothing.
rem Every line up to the chcp is ASCII: cmd reads each line of a script in
rem the console's code page, and only from there on is that 932.
setlocal
set "QX_CODE_PAGE="
for /f "tokens=*" %%a in ('chcp') do for %%b in (%%a) do set "QX_CODE_PAGE=%%~nb"
chcp 932 >nul 2>&1
title QX Frontend デモ
set "QX_PORT=@PORT@"
set "QX_DEMO_DIR=%~dp0"
set "QX_STATUS=0"
rem No compiled modules next to the service's sources (Program Files).
set "PYTHONDONTWRITEBYTECODE=1"

set "QX_PYTHON=py -3"
py -3 -c "import sys" >nul 2>&1
if not errorlevel 1 goto have_python
set "QX_PYTHON=python"
python -c "import sys; sys.exit(sys.version_info[0] != 3)" >nul 2>&1
if not errorlevel 1 goto have_python
echo Python 3 が見つからないため、デモを始められません。
echo デモのローカル Web サービスは Python 3 で動きます。Python 3 は
echo https://www.python.org/downloads/ から入手できます。
echo インストールしてから、もう一度デモを実行してください。
set "QX_STATUS=1"
pause
goto end

:have_python
%QX_PYTHON% "%QX_DEMO_DIR%localweb\control.py" free --port %QX_PORT%
if errorlevel 1 goto port_taken
set "QX_LEASE=%TEMP%\qx-demo-%RANDOM%%RANDOM%.lease"
type nul >"%QX_LEASE%"
echo ローカル Web サービスをポート %QX_PORT% で起動しています...
start "" /b %QX_PYTHON% "%QX_DEMO_DIR%localweb\server.py" --port %QX_PORT% --log NUL --lease "%QX_LEASE%"
%QX_PYTHON% "%QX_DEMO_DIR%localweb\control.py" wait --port %QX_PORT%
if errorlevel 1 goto no_service
echo QX Frontend を実行しています。終了するまで、このウィンドウを閉じないでください。
start "" /wait "%QX_DEMO_DIR%qx_front.exe"
rem Without its lease the service stops by itself.
del "%QX_LEASE%" >nul 2>&1
goto end

:port_taken
echo ポート %QX_PORT% はほかのプログラム (先に始めたデモなど) が使っているため、
echo デモを始められません。そのプログラムを終了してから、もう一度デモを実行してください。
set "QX_STATUS=1"
pause
goto end

:no_service
rem The service may still come up after the wait; without its lease it stops at once.
del "%QX_LEASE%" >nul 2>&1
echo ローカル Web サービスを起動できませんでした。ポート %QX_PORT% を
echo ほかのプログラムが使っていないか確かめてください。
set "QX_STATUS=1"
pause

:end
if defined QX_CODE_PAGE chcp %QX_CODE_PAGE% >nul 2>&1
endlocal & exit /b %QX_STATUS%
