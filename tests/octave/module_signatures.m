function sigs = module_signatures()
% Every module with arguments, from tests/module_signatures.txt: a valid call
% (args: ones of each data argument's size, 1 for each selector and count),
% one whose output is 100-by-100 (large), the names its messages give the
% arguments, which arguments are selector codes and which counts, and the
% most outputs a call may ask for.
text = fileread(fullfile(repo_root(), 'tests', 'module_signatures.txt'));
sigs = struct('name', {}, 'args', {}, 'large', {}, 'argnames', {}, 'selector', {}, ...
              'count', {}, 'outputs', {});
for line = regexp(text, '\r?\n', 'split')
  words = strsplit(strtrim(line{1}));
  if isempty(words{1}) || words{1}(1) == '#' || numel(words) < 2
    continue;
  end
  s = struct('name', words{1}, 'args', {{}}, 'large', {{}}, 'argnames', {{}}, 'selector', [], ...
             'count', [], 'outputs', 1);
  for w = words(2:end)
    parts = strsplit(w{1}, '=');
    if strcmp(parts{1}, 'outputs')
      s.outputs = str2double(parts{2});
      continue;
    end
    s.argnames{end + 1} = parts{1};
    s.selector(end + 1) = strcmp(parts{2}, 'code');
    s.count(end + 1) = strcmp(parts{2}, 'count');
    if s.selector(end) || s.count(end)
      s.args{end + 1} = 1;
      s.large{end + 1} = 1;
    else
      sizes = sscanf(parts{2}, '%dx%d,%dx%d');
      s.args{end + 1} = ones(sizes(1), sizes(2));
      s.large{end + 1} = ones(sizes(3), sizes(4));
    end
  end
  s.selector = logical(s.selector);
  s.count = logical(s.count);
  sigs(end + 1) = s;
end
end
