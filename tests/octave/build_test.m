function cases = build_test
% What build_mex.m makes in Octave: one folder holding each binary with its
% help file, Octave functions (oct-files) by default and MEX files with
% '-mex', binaries that export their entry point alone and that load.
cases = {@builds_named_modules_into_one_folder, @rejects_unknown_module, ...
         @refuses_unsupported_compilers, @binaries_export_their_entry_alone, ...
         @stops_on_a_module_that_cannot_load};
end

function builds_named_modules_into_one_folder
% mintid, which has no kernel variants, builds quickest. Functions written
% in M ship with any module.
[names, mfunctions] = build_mex('-list');
name = 'mintid';
if ~any(strcmp(names, name))
  name = names{1};
end
mfiles = strcat(mfunctions, '.m');
[scratch, cleanup] = scratch_folder();
for kind = {'oct', 'mex'}
  folder = fullfile(scratch, kind{1}, 'exactmex');   % made by build_mex
  options = {};
  if strcmp(kind{1}, 'mex')
    options = {'-mex'};
  end
  evalc('build_mex(folder, options{:}, name)');
  found = dir(folder);
  found = sort({found(~[found.isdir]).name});
  assert(isequal(found, sort([{'Contents.m', [name '.m'], [name '.' kind{1}]}, mfiles])), ...
         'build_mex made %s', strjoin(found, ', '));
  assert_exports_alone(fullfile(folder, [name '.' kind{1}]));
end
end

function rejects_unknown_module
expect_error('', 'build_mex: modules.txt lists no module named ''nosuch''', 0, ...
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
  expect_error('', ['build_mex: ' cases{k, 2}], 0, @build_mex, folder, 'lanefuse');
  assert(~exist(folder, 'dir'), 'build_mex made %s', folder);
end
end

function stops_on_a_module_that_cannot_load
% Linked (through LDFLAGS, which mkoctfile reads) with a library whose name
% for the loader is that of no file, a module builds but cannot load:
% build_mex stops with the loader's own words.
[scratch, cleanup] = scratch_folder();
library = fullfile(scratch, 'libexactmexfake.so');
[status, out] = system(sprintf('printf "int exactmex_fake;" | %s -x c - -shared -fPIC -Wl,-soname,libexactmexnowhere.so -o %s', ...
                               strtrim(mkoctfile('-p', 'CC')), library));
assert(status == 0, out);
flags = getenv('LDFLAGS');
restore = onCleanup(@() setenv('LDFLAGS', flags));
setenv('LDFLAGS', sprintf('%s -Wl,--no-as-needed -L%s -lexactmexfake', flags, scratch));
try
  evalc('build_mex(fullfile(scratch, ''out''), ''mintid'')');
  error('build_mex finished with a module that cannot load');
catch err
  assert(~isempty(strfind(err.message, 'build_mex: mintid was built but cannot be loaded here: ')) ...
         && ~isempty(strfind(err.message, 'libexactmexnowhere.so')), err.message);
end
end

function binaries_export_their_entry_alone
names = build_mex('-list');
require_module(names{:});
for name = names
  assert_exports_alone(which(name{1}));
end
end

function assert_exports_alone(file)
% A MEX file exports mexFunction, an oct-file its function's installer
% G<name>, and nothing else.
[~, name, ext] = fileparts(file);
entry = 'mexFunction';
if strcmp(ext, '.oct')
  entry = ['G' name];
end
[status, symbols] = system(['nm -D --defined-only ' file]);
assert(status == 0, symbols);
symbols = regexp(strtrim(symbols), '\S+$', 'match', 'lineanchors');
assert(isequal(symbols, {entry}), '%s exports %s', file, strjoin(symbols, ', '));
end
