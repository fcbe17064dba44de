function expect_error(expected, nout, fn, varargin)
% Calls fn(varargin{:}) asking for nout outputs and fails unless it raises
% an error whose message, as Octave shows it, is exactly expected.
try
  if nout == 0
    fn(varargin{:});
  else
    out = cell(1, nout);
    [out{:}] = fn(varargin{:});
  end
catch err
  if ~strcmp(err.message, expected)
    error('expected the error "%s", got "%s"', expected, err.message);
  end
  return
end
error('expected the error "%s", got none', expected);
end
