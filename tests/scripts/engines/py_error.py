UI.ShowMessage("before")
def divide(a, b):
    return a / b  # fails here
divide(1, 0)
