set greeting "Hello from Tcl"
UI ShowMessage $greeting
set answer [UI MessageDlg "Proceed?" 4]
UI ShowMessage "answer $answer"
