function sigs = module_signatures()
% Every module with arguments, from tests/module_signatures.txt: a valid call
% (args: ones of each data argument's size, 1 for each selector), one whose
% output is 100-by-100 (large), the names its messages give the arguments,
% and which arguments are selector codes.
text = fileread(fullfile(repo_root(), 'tests', 'module_signatures.txt'));
sigs = struct('name', {}, 'args', {}, 'large', {}, 'argnames', {}, 'selector', {});
for line = regexp(text, '\r?\n', 'split')
  words = strsplit(strtrim(line{1}));
  if isempty(words{1}) || words{1}(1) == '#' || numel(words) < 2
    continue;
  end
  s = struct('name', words{1}, 'args', {{}}, 'large', {{}}, 'argnames', {{}}, 'selector', []);
  for w = words(2:end)
    parts = strsplit(w{1}, '=');
    s.argnames{end + 1} = parts{1};
    s.selector(end + 1) = strcmp(parts{2}, 'code');
    if s.selector(end)
      s.args{end + 1} = 1;
      s.large{end + 1} = 1;
    else
      sizes = sscanf(parts{2}, '%dx%d,%dx%d');
      s.args{end + 1} = ones(sizes(1), sizes(2));
      s.large{end + 1} = ones(sizes(3), sizes(4));
    end
  end
  s.selector = logical(s.selector);
  sigs(end + 1) = s;
end
end
