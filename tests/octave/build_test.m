function cases = build_test
% What build_mex.m makes in Octave: one folder holding each MEX file with its
% help file, binaries that export mexFunction alone.
cases = {@builds_named_modules_into_one_folder, @rejects_unknown_module, ...
         @binaries_export_mex_function_alone};
end

function builds_named_modules_into_one_folder
names = listed_modules();
[scratch, cleanup] = scratch_folder();
folder = fullfile(scratch, 'exactmex');   % made by build_mex
evalc('build_mex(folder, names{1})');
found = dir(folder);
found = sort({found(~[found.isdir]).name});
assert(isequal(found, sort({'Contents.m', [names{1} '.m'], [names{1} '.mex']})), ...
       'build_mex made %s', strjoin(found, ', '));
end

function rejects_unknown_module
expect_error('build_mex: modules.txt lists no module named ''nosuch''', 0, ...
             @build_mex, tempname(), 'nosuch');
end

function binaries_export_mex_function_alone
names = listed_modules();
require_module(names{:});
for name = names
  [status, symbols] = system(['nm -D --defined-only ' which(name{1})]);
  assert(status == 0, symbols);
  symbols = regexp(strtrim(symbols), '\S+$', 'match', 'lineanchors');
  assert(isequal(symbols, {'mexFunction'}), '%s exports %s', name{1}, strjoin(symbols, ', '));
end
end
