var greeting = "Hello from " + "JavaScript";
UI.ShowMessage(greeting);
var answer = UI.MessageDlg("Proceed?", 4);
UI.ShowMessage("answer " + answer);
