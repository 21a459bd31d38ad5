$UI->ShowMessage("before");
sub divide {
  my ($a, $b) = @_;
  return $a / $b; # fails here
}
divide(1, 0);
