function expect_error(id, expected, nout, fn, varargin)
% Calls fn(varargin{:}) asking for nout outputs and fails unless it raises
% an error with identifier id whose message, as Octave shows it, is exactly
% expected: the text as MATLAB shows it, and so as an Octave function shows
% it. Octave puts "<name>: " before a MEX function's every message, once
% more when the message already starts with it; so does the expectation
% when fn is a MEX file.
name = func2str(fn);
file = which(name);
if numel(file) > 4 && strcmp(file(end - 3:end), '.mex')
  expected = [name ': ' regexprep(expected, ['^' name ': '], '')];
end
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
  if ~strcmp(err.identifier, id)
    error('expected the identifier "%s", got "%s"', id, err.identifier);
  end
  return
end
error('expected the error "%s", got none', expected);
end
