MsgBox 1
)(* garbage @@ ]]
