function cases = memory_test
% Many thousands of calls from Octave, most of them raising errors, leave
% the resident memory of the process where it was.
cases = {@memory_stays_flat};
end

function memory_stays_flat
sigs = module_signatures();
require_module(sigs.name);
% Outputs of 100-by-100 doubles (80 kB): if the output or any array of an
% abandoned call were kept, the loop would hold gigabytes.
calls = {};
for s = sigs
  fn = str2func(s.name);
  wrong_class = s.large;
  wrong_class{2} = logical(wrong_class{2});   % a class no module takes
  wrong_code = s.large;
  wrong_code{find(s.selector, 1)} = 1e10;   % an error, or zeros where never range-checked
  calls = [calls; {fn, s.large}; {fn, wrong_class}; {fn, wrong_code}; {fn, {}}];
  % Data of each other class taken, and of two classes (classMismatch).
  data = ~s.selector & ~s.count;
  first = find(data, 1);
  for cls = s.classes(2:end)
    typed = s.large;
    typed(data) = cellfun(@(a) cast(a, cls{1}), typed(data), 'UniformOutput', false);
    mixed = typed;
    mixed{first} = s.large{first};
    calls = [calls; {fn, typed}; {fn, mixed}];
  end
end
rounds = 5000;
run_calls(calls, rounds / 10);   % let the allocator reach its working size
before = resident_kib();
run_calls(calls, rounds);
growth = resident_kib() - before;
printf('     %d calls, resident memory grew by %d KiB\n', rounds * size(calls, 1), growth);
assert(growth < 16 * 1024, sprintf('resident memory grew by %d KiB', growth));
end

function run_calls(calls, rounds)
for r = 1:rounds
  for c = 1:size(calls, 1)
    [fn, args] = calls{c, :};
    try
      out = fn(args{:});
    catch
    end
  end
end
end

function kib = resident_kib()
status = fileread('/proc/self/status');
kib = str2double(regexp(status, 'VmRSS:\s*(\d+)', 'tokens', 'once'){1});
end
