greeting = 'Hello from' 'REXX'
call UI 'ShowMessage', greeting
answer = UI('MessageDlg', 'Proceed?', 4)
call UI 'ShowMessage', 'answer' answer
