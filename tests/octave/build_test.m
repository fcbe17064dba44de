function cases = build_test
% What build_mex.m makes in Octave: one folder holding each MEX file with its
% help file, binaries that export mexFunction alone.
cases = {@builds_named_modules_into_one_folder, @rejects_unknown_module, ...
         @refuses_unsupported_compilers, @binaries_export_mex_function_alone};
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

function refuses_unsupported_compilers
% A compiler that gateway/compiler_check.h stops ends build_mex with the
% check's own words, before any module is built: here Octave's GCC passed
% off as GCC 6, and asked for fast floating point.
cxx = strtrim(mkoctfile('-p', 'CXX'));
if isempty(regexp(cxx, 'g\+\+', 'once'))
  error('exactmex:skip', 'Octave''s compiler is %s, not GCC', cxx);
end
restore = onCleanup(@() setenv('CXX', cxx));
cases = {' -U__GNUC__ -D__GNUC__=6', 'exactmex needs GCC 7 or later, for C++17'
         ' -ffast-math', ['exactmex cannot be built with fast floating point (-ffast-math), ' ...
                          'which breaks exact results']};
for k = 1:size(cases, 1)
  setenv('CXX', [cxx cases{k, 1}]);
  folder = tempname();
  expect_error(['build_mex: ' cases{k, 2}], 0, @build_mex, folder, 'lanefuse');
  assert(~exist(folder, 'dir'), 'build_mex made %s', folder);
end
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
