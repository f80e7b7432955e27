#!/bin/sh
# Run by CTest before the tests of a Windows build (CTestCustom.cmake). A
# Wine server, and the Wine services its first program starts, inherit that
# program's standard output and error and keep them open while they run:
# started by a test, they would hold its output pipe, and CTest would wait
# for them. So the server is started here, kept for 30 s after the last
# program, and a first program (making the Wine prefix on first use) starts
# the services, all with nothing of CTest's open.
prefix=${WINEPREFIX:-$HOME/.wine}
if [ ! -f "$prefix/system.reg" ]; then
  wine cmd /c exit </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1
fi
# Fails, harmlessly, where a server runs already.
wineserver -p30 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
exit 0
