function assert_bits(actual, expected, kind)
% Fails unless actual is a double array of expected's size holding the same
% bit patterns (so -0 differs from 0 and NaN payloads count). With kind
% 'computed', for results of arithmetic, where expected is NaN any NaN will
% do: the sign and payload of a NaN that arithmetic makes are not promised.
if ~isa(actual, 'double') || ~isreal(actual)
  error('expected a real double array, got %s', class(actual));
end
if ~isequal(size(actual), size(expected))
  error('expected size %s, got %s', mat2str(size(expected)), mat2str(size(actual)));
end
a = typecast(actual(:), 'uint64');
e = typecast(double(expected(:)), 'uint64');
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
