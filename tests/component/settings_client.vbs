' A script client of the registered settings server: creates both classes by
' ProgID and checks values and the numbered errors. Japanese texts are
' compared inside the script; only ASCII is printed.
Option Explicit
On Error Resume Next

Dim passed, failed
passed = 0
failed = 0

Sub Check(name, condition)
  If condition Then
    passed = passed + 1
  Else
    failed = failed + 1
    WScript.Echo "FAIL: " & name
  End If
End Sub

Sub CheckError(name, number, description)
  Check name & " number", Err.Number = number
  If Err.Number <> number Then WScript.Echo "  got " & Err.Number
  Check name & " description", Err.Description = description
  Err.Clear
End Sub

Dim crlf
crlf = Chr(13) & Chr(10)

' Descriptions, spelled as the server raises them.
Dim invalidName, notInitialized, badType, badName, badValue
invalidName = "プロパティの値が不正です"
notInitialized = "適切なプロパティの初期化が行われていません" & crlf & _
                 "Createメソッドなどにより必要な値を設定してください"
badType = "プロパティ OptionType の指定には 列挙型 SoftwareOptionType を使用してください"
badName = "プロパティ OptionName の値が不正です"
badValue = "プロパティ Value の値が OptionType により指定された型に型変換できない値です"

Dim info, same, opt
Set info = CreateObject("QUILLONSoftwareOptions.SoftwareInfo")
Check "SoftwareInfo by ProgID", Err.Number = 0 And IsObject(info)
Err.Clear

Set same = info.Create("KestrelScriptClient")
Check "Create with only the application", Err.Number = 0
Check "Create returns the same object", same Is info
Check "default section", info.SectionName = "Options"
Check "application", info.SoftwareName = "KestrelScriptClient"
Err.Clear

info.SectionName = ""
CheckError "empty section", 1, invalidName
Check "section kept", info.SectionName = "Options"
Set same = info.Create("", "X")
CheckError "empty application", 1, invalidName
Check "application kept", info.SoftwareName = "KestrelScriptClient"

Set opt = CreateObject("QUILLONSoftwareOptions.SoftwareOption")
Check "SoftwareOption by ProgID", Err.Number = 0 And IsObject(opt)
Err.Clear

Check "Value empty at first", IsEmpty(opt.Value)
opt.Value = 1
CheckError "Value without a type", 2, badType

opt.OptionType = 3
opt.Value = "12"
Check "text 12 to a Long", opt.Value = 12 And VarType(opt.Value) = vbLong
Check "Value is the default member", opt = 12
opt.Value = "abc"
CheckError "letters to a Long", 5, badValue
Check "value kept", opt.Value = 12

opt.OptionType = 2
opt.Value = 2.5
Check "2.5 to an Integer is 2", opt.Value = 2 And VarType(opt.Value) = vbInteger
opt.Value = 3.5
Check "3.5 to an Integer is 4", opt.Value = 4
opt.Value = 40000
CheckError "out of range", 5, badValue

opt.OptionType = 11
opt.Value = "True"
Check "Boolean from its word", opt.Value = True And VarType(opt.Value) = vbBoolean

opt.OptionName = ""
CheckError "empty option name", 4, badName

Dim loaded
loaded = opt.LoadSetting()
CheckError "LoadSetting without an identity", 1, notInitialized

opt.DefaultValue = "abc"
Check "DefaultValue taken unconverted", opt.DefaultValue = "abc"

Dim saved
saved = opt.SaveSettingInChanged()
Check "save without an identity is false", saved = False
Check "save raises nothing", Err.Number = 0
Err.Clear

' Typed by-reference parameters are beyond script clients: Create answers
' type mismatch, as for any such server.
opt.Create info, "Key", 3, "1"
Check "Create by reference from script", Err.Number = 13
Err.Clear

WScript.Echo "script: " & passed & " passed, " & failed & " failed"
WScript.Quit failed
