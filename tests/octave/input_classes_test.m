function cases = input_classes_test
% Every numeric module (module_signatures: the modules' descriptions), called
% from Octave, answers in ans when no output is asked for, and to data of
% each class it takes, giving single results for single data and double
% results for the others; with data of two classes it raises classMismatch
% naming both; with inputs of the wrong class, it raises an error
% naming the function and the argument and leaves Octave running; selectors
% of any numeric, logical or char class are read, counts of any numeric
% class.
cases = {@every_module_checks_its_inputs};
end

function every_module_checks_its_inputs
for sig = module_signatures()
  check_module(sig);
  printf('     %s checked\n', sig.name);
end
end

function check_module(sig)
require_module(sig.name);
name = sig.name;
fn = str2func(name);
expected = fn(sig.args{:});
% With no output asked for, the result goes to ans.
clear ans
fn(sig.args{:});
assert_bits(ans, expected);
data = ~sig.selector & ~sig.count;
% Data of each class taken: of ones, every module's result is the same
% number in each, single for single data and double for the others.
for cls = sig.classes
  args = sig.args;
  args(data) = cellfun(@(a) cast(a, cls{1}), args(data), 'UniformOutput', false);
  result = 'double';
  if strcmp(cls{1}, 'single')
    result = 'single';
  end
  assert_bits(fn(args{:}), cast(expected, result));
end
% Data of two classes taken: the first data argument and the next differ.
if numel(sig.classes) > 1
  names = sig.argnames(data);
  args = sig.args;
  first = find(data, 1);
  args{first} = cast(args{first}, sig.classes{2});
  args(data & (1:numel(data)) ~= first) = cellfun(@(a) cast(a, sig.classes{1}), ...
      args(data & (1:numel(data)) ~= first), 'UniformOutput', false);
  expect_error(['exactmex:' name ':classMismatch'], ...
               sprintf('%s: %s (%s) and %s (%s) must be of the same class.', name, names{1}, ...
                       sig.classes{2}, names{2}, sig.classes{1}), 1, fn, args{:});
end
for k = 1:numel(sig.args)
  good = sig.args{k};
  if sig.selector(k)
    for bad = {{}, struct('code', good), @sin}
      call_rejected(fn, sig, k, bad{1}, 'selectorClass', 'must be a numeric, logical or char value.');
    end
    % Any numeric, logical or char selector is read as its first element.
    for same = {int32(good), single(good), logical(good), sparse(good), [good 7], complex(good, 3)}
      args = sig.args;
      args{k} = same{1};
      assert_bits(fn(args{:}), expected);
    end
    % A sparse selector that does not store its first element is 0 there,
    % whatever it stores later.
    zero = sig.args;
    zero{k} = 0;
    later = sig.args;
    later{k} = sparse([0 good]);
    assert(isequal(outcome(fn, zero), outcome(fn, later)), ...
           '%s: sparse([0 %g]) as %s does not act as 0', name, good, sig.argnames{k});
  elseif sig.count(k)
    for bad = {0, -1, 2.5, NaN, Inf, [], [good good], complex(good, 1), true, '1', {good}}
      call_rejected(fn, sig, k, bad{1}, 'badK', 'must be a real numeric scalar holding a positive whole number.');
    end
    for same = {int32(good), single(good), uint8(good), sparse(good)}
      args = sig.args;
      args{k} = same{1};
      assert_bits(fn(args{:}), expected);
    end
  else
    bad_values = {int32(good), single(good), uint8(good), int64(good), logical(good), ...
                  char(good + 64), complex(good, 1), complex(single(good), 1), sparse(good), ...
                  num2cell(good), struct('data', good)};
    taken = cellfun(@(v) any(strcmp(class(v), sig.classes)) && isreal(v) && ~issparse(v), ...
                    bad_values);
    for bad = bad_values(~taken)
      call_rejected(fn, sig, k, bad{1}, 'inputClass', 'must be a real, full double array.');
    end
  end
end
% Octave is still running, and the module still answers.
assert_bits(fn(sig.args{:}), expected);
end

function out = outcome(fn, args)
% The result of a call, or the message of its error.
try
  out = fn(args{:});
catch err
  out = err.message;
end
end

function call_rejected(fn, sig, k, value, reason, what)
args = sig.args;
args{k} = value;
expect_error(['exactmex:' sig.name ':' reason], sprintf('%s: %s %s', sig.name, sig.argnames{k}, what), ...
             1, fn, args{:});
end
