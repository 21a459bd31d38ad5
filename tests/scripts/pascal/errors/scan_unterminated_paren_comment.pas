begin
  ShowMessage('hidden'); (* the comment never closes *
end;
