function cases = help_test
% Help for every function, seen from Octave: the binary is what runs (an
% oct-file or a MEX file, whichever the folder holds), help shows the text of
% the .m file beside it (built into an oct-file), lookfor finds it, and
% Contents lists every function with its first help line.
cases = {@every_function_has_a_help_file, @contents_lists_every_function, ...
         @contents_carries_the_version_line, @binary_runs_and_help_shows_its_text, ...
         @lookfor_finds_the_distances};
end

function lines = help_lines(file)
lines = regexp(fileread(file), '\r?\n', 'split');
lines = lines(~cellfun(@isempty, strtrim(lines)));
end

function every_function_has_a_help_file
for name = build_mex('-list')
  lines = help_lines(fullfile(repo_root(), 'help', [name{1} '.m']));
  % Only help text: no line of code that could run in the MEX file's place.
  assert(all(strncmp(lines, '%', 1)), '%s.m holds more than comments', name{1});
  assert(strncmp(lines{1}, ['%' upper(name{1}) '  '], numel(name{1}) + 3), ...
         '%s.m: the first line should start with %%%s', name{1}, upper(name{1}));
  assert(any(~cellfun(@isempty, regexp(lines, '^%\s+Example'))), '%s.m has no example', name{1});
end
end

function contents_lists_every_function
contents = fileread(fullfile(repo_root(), 'help', 'Contents.m'));
for name = build_mex('-list')
  first = help_lines(fullfile(repo_root(), 'help', [name{1} '.m'])){1};
  summary = strtrim(first(numel(name{1}) + 2:end));
  assert(~isempty(regexp(contents, ['\n%\s+' name{1} '\s+- ' regexptranslate('escape', summary)], 'once')), ...
         'Contents.m should list %s as "%s"', name{1}, summary);
end
end

function contents_carries_the_version_line
% MATLAB's ver reports a folder whose Contents.m has, as its second line,
% "% Version <version> <dd-mmm-yyyy>".
lines = regexp(fileread(fullfile(repo_root(), 'help', 'Contents.m')), '\r?\n', 'split');
assert(numel(lines) > 1 && ~isempty(regexp(lines{2}, ...
       '^% Version \d+(\.\d+)* \d\d-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{4}$', ...
       'once')), 'the second line of Contents.m is "%s", not a version line', lines{min(2, end)});
end

function binary_runs_and_help_shows_its_text
names = build_mex('-list');
require_module(names{:});
for name = names
  file = which(name{1});
  assert(any(strcmp(file(end - 3:end), {'.oct', '.mex'})), '%s runs %s, not a binary', name{1}, file);
  [folder, ~] = fileparts(file);
  assert(exist(fullfile(folder, [name{1} '.m']), 'file') == 2, 'no help file beside %s', file);
  first = help_lines(fullfile(repo_root(), 'help', [name{1} '.m'])){1};
  text = evalc(['help ' name{1}]);
  assert(~isempty(strfind(text, first(2:end))), 'help %s does not show its text', name{1});
end
text = evalc('help exactmex');
assert(~isempty(strfind(text, 'exactmex: fast, exact numeric building blocks')));
end

function lookfor_finds_the_distances
require_module('sampledist', 'bindist');
text = evalc('lookfor distance');
assert(~isempty(strfind(text, 'sampledist')) && ~isempty(strfind(text, 'bindist')));
end
