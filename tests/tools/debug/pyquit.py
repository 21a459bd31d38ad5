# Breakpoints in a Python loop: a line without code, disabling, and quitting aborts.
class Point:
    def __init__(self, x, y):
        self.x = x
        self.y = y
    def __repr__(self):
        return "Point(%d, %d)" % (self.x, self.y)

points = {}
for i in range(1, 4):
    p = Point(i, i * i)
    points[i] = p

UI.ShowMessage("not reached")
