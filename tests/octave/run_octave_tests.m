function run_octave_tests(suite, mexdir)
% Runs every case of one suite (a function returning handles to its cases)
% against the MEX files in mexdir, prints a line per case and the closing
% count, and exits Octave: 0 when all ran and passed, 1 when any failed, 77
% (CTest's skip code here) when every case was skipped.
addpath(mexdir);
confirm_recursive_rmdir(false);   % cases remove their scratch folders
cases = feval(suite);
passed = 0;
failed = 0;
skipped = 0;
for k = 1:numel(cases)
  name = func2str(cases{k});
  try
    cases{k}();
    passed = passed + 1;
    printf('PASS %s\n', name);
  catch err
    if strcmp(err.identifier, 'exactmex:skip')
      skipped = skipped + 1;
      printf('SKIP %s: %s\n', name, err.message);
    else
      failed = failed + 1;
      printf('FAIL %s: %s\n', name, err.message);
      for s = err.stack(:)'
        printf('     at %s line %d\n', s.name, s.line);
      end
    end
  end
end
if skipped > 0
  printf('%d skipped\n', skipped);
end
printf('%d passed, %d failed\n', passed, failed);
if failed > 0
  exit(1);
elseif passed == 0
  exit(77);
end
exit(0);
end
