# Python through the script engines, debugged like the native dialects.
total = 0
def add(n):
    global total
    total = total + n
def twice(n):
    add(n)
    add(n)
for i in range(1, 4):
    twice(i)
UI.ShowMessage('Total ' + str(total))
