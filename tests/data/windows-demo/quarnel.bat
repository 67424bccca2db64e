@echo off
:10
C:\UT2003\system\ucc.exe server CTF-Foundry?Game=XGame.xCTFGame?GameSpeed=1?WeaponStay=True?Translocator=True?FriendlyFireScale=0?GoalScore=5?TimeLimit=20?MaxLives=0?AllowThrowing=True?ForceRespawn=False?GameStats=False?BalanceTeams=True?LAN?MinPlayers=4?MaxPlayers=12?MaxSpectators=2?AdminName=Demo Admin?AdminPassword=changeme?GamePassword=?PlayersMustBeReady=False?AllowBehindview=False?difficulty=3 INI=quarnel.ini -log=quarnel.log
copy C:\UT2003\system\quarnel.log C:\UT2003\system\quarnelcrash.log
goto 10
