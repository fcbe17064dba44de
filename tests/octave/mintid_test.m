function cases = mintid_test
% mintid called from Octave.
cases = {@fresh_identifiers};
end

function fresh_identifiers
require_module('mintid');
[ok, id] = mintid();
assert(islogical(ok) && isscalar(ok) && ok);
assert(isa(id, 'uint8') && isequal(size(id), [1 16]));
% A random (version 4) identifier, laid out as the GUID record: the version
% is the high nibble of Data3's high byte, the variant the top bits of Data4.
assert(bitshift(id(8), -4) == 4);
assert(bitand(id(9), 192) == 128);
[~, other] = mintid();
assert(~isequal(id, other));
end

