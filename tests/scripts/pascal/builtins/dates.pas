// Date and time built-ins on fixed dates: encoding and decoding, weekdays, leap years, month
// arithmetic with the day clamped, time parts and pictures.
var d, t, y, m, day, h, mi, s, ms;

begin
  d := EncodeDate(2024, 2, 29);
  ShowMessage(FormatDateTime('yyyy-mm-dd', d));
  ShowMessage(Trunc(EncodeDate(1899, 12, 30)));
  ShowMessage(Trunc(EncodeDate(2000, 1, 1)));
  DecodeDate(d, y, m, day);
  ShowMessage(IntToStr(y) + ' ' + IntToStr(m) + ' ' + IntToStr(day));
  ShowMessage(DayOfWeek(d));
  ShowMessage(DayOfWeek(EncodeDate(2023, 1, 1)));
  ShowMessage(IsLeapYear(2024));
  ShowMessage(IsLeapYear(1900));
  ShowMessage(IsLeapYear(2000));
  ShowMessage(FormatDateTime('yyyy-mm-dd', IncMonth(EncodeDate(2024, 1, 31))));
  ShowMessage(FormatDateTime('yyyy-mm-dd', IncMonth(EncodeDate(2023, 1, 31), 1)));
  ShowMessage(FormatDateTime('yyyy-mm-dd', IncMonth(d, 12)));
  ShowMessage(FormatDateTime('yyyy-mm-dd', IncMonth(d, -3)));
  ShowMessage(FormatDateTime('d mmm yy', d + 1));
  ShowMessage(FormatDateTime('dddd', d));
  t := EncodeTime(13, 45, 30, 250);
  DecodeTime(t, h, mi, s, ms);
  ShowMessage(IntToStr(h) + ':' + IntToStr(mi) + ':' + IntToStr(s) + '.' + IntToStr(ms));
  ShowMessage(FormatDateTime('hh:nn:ss', t));
  ShowMessage(FormatDateTime('yyyy-mm-dd hh:nn', d + t));
  ShowMessage(Frac(EncodeTime(12, 0, 0, 0)));
  ShowMessage(FormatDateTime('yyyy-mm-dd', EncodeDate(2024, 3, 1) - 1));
  ShowMessage(Trunc(EncodeDate(2025, 1, 1) - EncodeDate(2024, 1, 1)));
end;
