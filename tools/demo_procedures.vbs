' The demo's project procedures, as the author wrote them. tools/make_demo_scripts.py
' scrambles them into examples/demo/Config/Procedures.
Function Greeting(sName)
  Greeting = "Welcome, " & sName
End Function

Sub GoQuay()
  GoToFrame "Quay", 0.5, 3
End Sub

' The oil left in the lamp, from the keeper's notebook in External\keeper.ini.
Function OilLeft()
  OilLeft = ReadINI("keeper.ini", "Lamp", "Oil")
End Function

' Lights the beacon: TimerObject1 turns it once, a fifth of a second later.
Sub LightBeacon()
  Action.CreateObject WindowObject.TimerObject(1)
  WindowObject.TimerObject(1).Interval = 200
  WindowObject.TimerObject(1).Enabled = True
End Sub

Sub TimerObject1()
  WindowObject.TimerObject(1).Enabled = False
  Note = "The beacon turns."
End Sub

' The keeper's logbook, kept in the game's own Temp folder: scripts write there without
' asking the player.
Sub WriteLogbook(entry)
  Dim fso, t
  Set fso = CreateObject("Scripting.FileSystemObject")
  Set t = fso.OpenTextFile("Temp\logbook.txt", 8, True)
  t.WriteLine entry
  t.Close
End Sub

' The logbook's lines, each followed by "|"; "" before the first entry.
Function ReadLogbook()
  Dim fso
  Set fso = CreateObject("Scripting.FileSystemObject")
  ReadLogbook = ""
  If fso.FileExists("Temp\logbook.txt") Then ReadLogbook = Replace(fso.OpenTextFile("Temp\logbook.txt").ReadAll, vbCrLf, "|")
End Function

' Copies the logbook elsewhere: 0 when it worked, else the error met (70 when the player
' did not allow writing there).
Function CopyLogbook(target)
  On Error Resume Next
  CreateObject("Scripting.FileSystemObject").CopyFile "Temp\logbook.txt", target
  CopyLogbook = Err.Number
End Function

' The first line of a text file.
Function FirstLine(path)
  FirstLine = CreateObject("Scripting.FileSystemObject").OpenTextFile(path).ReadLine
End Function
' The radio room's button (a component placed by the Radio frame) calls the coast guard.
Sub RadioButton_Click(params)
  Component("RadioNote").Caption = "The coast guard answers: help is on its way."
End Sub

Sub LeaveRadio()
  RemoveComponent "RadioButton"
  RemoveComponent "RadioNote"
End Sub
