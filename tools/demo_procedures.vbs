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

' The radio room's button (a component placed by the Radio frame) calls the coast guard.
Sub RadioButton_Click(params)
  Component("RadioNote").Caption = "The coast guard answers: help is on its way."
End Sub

Sub LeaveRadio()
  RemoveComponent "RadioButton"
  RemoveComponent "RadioNote"
End Sub
