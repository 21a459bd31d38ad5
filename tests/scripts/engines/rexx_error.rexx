call UI 'ShowMessage', 'before'
say divide(1, 0)
exit
divide: procedure
  parse arg a, b
  return a / b /* fails here */
