@ECHO OFF
REM Ethernet driver and the remote link of the controller.
REM The address, mask and gateway are the parameters 1201 to 1212.
C:\NET\PKTDRV.COM 0x60 /Q
IF ERRORLEVEL 1 GOTO NODRV
C:\NET\XPNET.EXE /IP=192.168.0.10 /MASK=255.255.255.0 /GW=192.168.0.254
C:\NET\XPNET.EXE /PORT=1888 /DNC=1988 /PCDNC=2000 /TIMEOUT=6
GOTO END
:NODRV
ECHO Network card not found, the controller runs without network.
:END
