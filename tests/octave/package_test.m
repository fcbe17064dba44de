function cases = package_test
% The Octave package: tools/package.sh makes the tarball, pkg installs it
% into a scratch prefix, and every function it lists loads and runs from
% there with its help; news shows the repository's NEWS.
cases = {@installs_loads_and_runs_every_function};
end

function installs_loads_and_runs_every_function
names = build_mex('-list');
require_module(names{:});
[work, cleanup] = scratch_folder();
[status, out] = system(sprintf('bash "%s" "%s"', fullfile(repo_root(), 'tools', 'package.sh'), work));
assert(status == 0, out);
tarball = strtrim(out);

% Results of the test build, to compare the installed functions with.
sigs = module_signatures();
expected = arrayfun(@(s) feval(s.name, s.args{:}), sigs, 'UniformOutput', false);

prefix = fullfile(work, 'packages');
pkg('prefix', prefix, prefix);
pkg('local_list', fullfile(work, 'octave_packages'));
pkg('install', '-local', tarball);
pkg('load', 'exactmex');
unload = onCleanup(@() pkg('unload', 'exactmex'));
% The package's version is the one Contents.m gives MATLAB's ver.
installed = pkg('list', 'exactmex');
contents = regexp(fileread(fullfile(repo_root(), 'help', 'Contents.m')), ...
                  '% Version (\S+)', 'tokens', 'once');
assert(strcmp(installed{1}.version, contents{1}), 'package version %s, Contents.m %s', ...
       installed{1}.version, contents{1});

news_text = evalc('news exactmex');
assert(strcmp(news_text, fileread(fullfile(repo_root(), 'NEWS'))), 'news exactmex shows %s', news_text);

for name = names
  file = which(name{1});
  assert(strncmp(file, prefix, numel(prefix)) && strcmp(file(end - 3:end), '.oct'), ...
         '%s runs %s, not the installed Octave function', name{1}, file);
  text = evalc(['help ' name{1}]);
  assert(~isempty(strfind(text, 'Example')), 'help %s shows no help text', name{1});
end
for k = 1:numel(sigs)
  assert_bits(feval(sigs(k).name, sigs(k).args{:}), expected{k});
end
% Functions written in M come with the package, knnmerge among them.
file = which('knnmerge');
assert(strncmp(file, prefix, numel(prefix)), 'knnmerge runs %s, not the installed one', file);
assert_bits(nthargout(2, @knnmerge, 1, [2; 1], [7; 8]), 8);
if any(strcmp(names, 'mintid'))
  [ok, id] = mintid();
  assert(ok && numel(id) == 16);
end
clear unload  % unload before the scratch folder holding the package goes
end
