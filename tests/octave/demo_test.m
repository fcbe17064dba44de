function cases = demo_test
% examples/exactmex_demo.m runs to the end, shows every built function and
% saves its picture where it says; no example hides a function.
cases = {@examples_shadow_nothing, @demo_runs_and_saves_its_picture};
end

function examples_shadow_nothing
% addpath examples, as the README says, hides no function: no example has
% the name of one already on the path (Octave's own, or a package's).
files = dir(fullfile(repo_root(), 'examples', '*.m'));
assert(numel(files) > 0);
for k = 1:numel(files)
  [~, name] = fileparts(files(k).name);
  assert(exist(name) == 0, 'examples/%s.m shadows %s', name, which(name));
end
end

function demo_runs_and_saves_its_picture
names = build_mex('-list');
require_module(names{:});
[folder, cleanup] = scratch_folder();
setenv('EXACTMEX_DEMO_DIR', folder);
output = evalc('run(fullfile(repo_root(), ''examples'', ''exactmex_demo.m''))');
for name = names
  assert(~isempty(strfind(output, [name{1} '('])), 'the demo does not show %s', name{1});
end
if any(strcmp(names, 'bindist'))
  picture = fullfile(folder, 'distances.png');
  assert(~isempty(strfind(output, picture)), 'the demo does not say where its picture is');
  info = dir(picture);
  assert(numel(info) == 1 && info.bytes > 1000, 'no picture at %s', picture);
end
end
