function assert_bits(actual, expected, kind)
% Fails unless actual is a real array of expected's class (double, or
% single when expected is single) and size holding the same bit patterns (so
% -0 differs from 0 and NaN payloads count). With kind 'computed', for
% results of arithmetic, where expected is NaN any NaN will do: the sign and
% payload of a NaN that arithmetic makes are not promised.
want = 'double';
bits = 'uint64';
if isa(expected, 'single')
  want = 'single';
  bits = 'uint32';
end
if ~isa(actual, want) || ~isreal(actual)
  error('expected a real %s array, got %s', want, class(actual));
end
if ~isequal(size(actual), size(expected))
  error('expected size %s, got %s', mat2str(size(expected)), mat2str(size(actual)));
end
a = typecast(actual(:), bits);
e = typecast(cast(expected(:), want), bits);
differ = a ~= e;
if nargin > 2 && strcmp(kind, 'computed')
  differ = differ & ~(isnan(actual(:)) & isnan(expected(:)));
end
k = find(differ, 1);
if ~isempty(k)
  error('element %d: got %s (%.17g), expected %s (%.17g)', k, num2hex(actual(k)), ...
        actual(k), num2hex(expected(k)), expected(k));
end
end
