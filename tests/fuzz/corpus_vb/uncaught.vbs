' An error nobody catches ends the script with status 1.
MsgBox "start"
Throw "boom"
MsgBox "not reached"
