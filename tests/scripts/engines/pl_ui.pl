my $greeting = "Hello from " . "Perl";
$UI->ShowMessage($greeting);
print "printed by Perl\n";
my $answer = $UI->MessageDlg("Proceed?", 4);
$UI->ShowMessage("answer $answer");
