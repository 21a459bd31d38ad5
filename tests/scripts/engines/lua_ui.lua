local greeting = "Hello from " .. "Lua"
UI:ShowMessage(greeting)
local answer = UI:MessageDlg("Proceed?", 4)
UI.ShowMessage("answer " .. answer)
