greeting = "Hello from " + "Python"
UI.ShowMessage(greeting)
answer = UI.MessageDlg("Proceed?", 4)
UI.ShowMessage("answer %d" % answer)
