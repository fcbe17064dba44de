function varargout = build_mex(outdir, varargin)
%BUILD_MEX  Compile the exactmex modules for the running program.
%   BUILD_MEX compiles every module listed in modules.txt, with the flags
%   listed there, and puts the binaries and their help files in one folder:
%   build/octave/exactmex (GNU Octave) or build/matlab/exactmex (MATLAB),
%   under the folder of this file. Add that folder to the path:
%      addpath(fullfile(pwd, 'build', 'matlab', 'exactmex'))
%
%   MATLAB gets MEX files (its mex command); Octave gets its own native
%   functions, oct-files (mkoctfile), which hand their outputs over without
%   a copy and stop at Ctrl-C.
%
%   BUILD_MEX(OUTDIR) puts them in OUTDIR instead.
%   BUILD_MEX(OUTDIR, NAME, ...) builds only the named modules.
%   BUILD_MEX(OUTDIR, '-mex', ...) builds MEX files in Octave too.
%   DIR = BUILD_MEX(...) returns the folder.
%   [NAMES, MFUNCTIONS] = BUILD_MEX('-list') builds nothing and returns the
%   names of the modules modules.txt lists and of the functions written in
%   M that it ships beside them.
%
%   Compilers: GCC 7 or later or Clang 5 or later (Octave everywhere; MATLAB
%   on Linux, on macOS and with MinGW-w64 on Windows) and Microsoft Visual
%   C++ 2017 15.7 or later (MATLAB on Windows); BUILD_MEX stops on others,
%   and on Intel's compilers, saying why. In MATLAB, pick one first with:
%   mex -setup C++
%   MinGW-w64 whose assembler cannot encode aligned vector moves as
%   unaligned ones (MATLAB's add-on among them) builds only the portable and
%   SSE2 kernels (modules.txt). MATLAB on Linux needs the static C++ library
%   (Debian and Ubuntu: part of g++; Red Hat: libstdc++-static).
%
%   Each module built is then loaded and called once, with no arguments, in
%   the running program; BUILD_MEX stops with the loader's message when one
%   cannot be loaded there.

root = fileparts(mfilename('fullpath'));
manifest = readManifest(fullfile(root, 'modules.txt'));
if nargin == 1 && strcmp(outdir, '-list')
  varargout = {{manifest.modules.name}, manifest.mfunctions};
  return
end
isOctave = exist('OCTAVE_VERSION', 'builtin') ~= 0;
if nargin < 1 || isempty(outdir)
  host = 'matlab';
  if isOctave
    host = 'octave';
  end
  outdir = fullfile(root, 'build', host, 'exactmex');
end

asMex = any(strcmp(varargin, '-mex'));
varargin = varargin(~strcmp(varargin, '-mex'));
octfiles = isOctave && ~asMex;

names = {manifest.modules.name};
if ~isempty(varargin)
  unknown = setdiff(varargin, names);
  if ~isempty(unknown)
    error('build_mex: modules.txt lists no module named ''%s''', unknown{1});
  end
  names = varargin;
end

families = compilerFamilies(isOctave);
moduleFlags = struct('compile', {pickFlags(manifest, 'module-flags', families)}, ...
                     'optimize', {pickFlags(manifest, 'module-optimize', families)}, ...
                     'link', {pickLinkFlags(manifest, isOctave)});
build = @(flags) mexArguments(flags, moduleFlags, families, isOctave, octfiles, root);

% gateway/compiler_check.h stops a compiler the modules cannot be built with,
% saying why; a family's flags that the compiler rejects give way to the
% family's fallback flags.
none = struct('compile', {{}}, 'optimize', {{}}, 'link', {{}});
[ok, why] = compiles(mexArguments({}, none, families, isOctave, octfiles, root), isOctave);
if ~ok
  error('build_mex: %s', why);
end
flags = {};
for f = families
  own = pickFlags(manifest, 'flags', f);
  fallback = pickFlags(manifest, 'flags-fallback', f);
  if ~isempty(fallback) && ~compiles(build([flags, own]), isOctave)
    fprintf('build_mex: the compiler rejects %s; using %s instead\n', strjoin(own, ' '), ...
            strjoin(fallback, ' '));
    own = fallback;
  end
  flags = [flags, own];
end
common = build(flags);

if ~isfolder(outdir)
  mkdir(outdir);
end
for k = 1:numel(names)
  module = manifest.modules(strcmp({manifest.modules.name}, names{k}));
  sources = fullfile(root, module.sources);
  libs = strcat('-l', pickLibs(manifest, module.name));
  if isunix() && ~ismac()
    libs{end + 1} = '-ldl';  % dlsym (gateway/in_matlab.cpp), in libdl before glibc 2.34
  end
  if octfiles
    helpdir = tempname();
    mkdir(helpdir);
    cleanup = onCleanup(@() removeFolder(helpdir));
    writeHelpHeader(fullfile(root, 'help', [module.name '.m']), fullfile(helpdir, 'exactmex_help.h'));
    mkoctfile(common{:}, '-DEXACTMEX_OCTFILE', ['-I' helpdir], ...
              '-o', fullfile(outdir, [module.name '.oct']), sources{:}, libs{:});
    clear cleanup
  elseif isOctave
    mex(common{:}, '-o', fullfile(outdir, [module.name '.mex']), sources{:}, libs{:});
  else
    mex(common{:}, '-outdir', outdir, '-output', module.name, sources{:}, libs{:});
  end
  copyHelp(root, outdir, [module.name '.m']);
end
% The functions written in M ship beside the modules.
for file = [{'Contents'}, manifest.mfunctions]
  copyHelp(root, outdir, [file{1} '.m']);
end
for k = 1:numel(names)
  loadOnce(outdir, names{k});
end
fprintf('build_mex: %d module(s) in %s, each loaded and called once\n', numel(names), outdir);
if nargout > 0
  varargout{1} = outdir;
end
end

function manifest = readManifest(file)
% Lines "flags FAMILY FLAG...", "module-flags FAMILY FLAG...",
% "module-optimize FAMILY FLAG...", "mex-link PLATFORM FLAG...",
% "group NAME SOURCE...", "module NAME SOURCE..." (@NAME: a group's sources),
% "libs NAME PLATFORM LIB..." and "mfunction NAME"; '#' starts a comment.
manifest.flags = cell(0, 3);
manifest.libs = cell(0, 3);
manifest.modules = struct('name', {}, 'sources', {});
manifest.mfunctions = {};
groups = struct();
lines = regexp(fileread(file), '\r?\n', 'split');
for k = 1:numel(lines)
  words = regexp(regexprep(lines{k}, '#.*', ''), '\S+', 'match');
  if isempty(words)
    continue
  end
  switch words{1}
    case 'group'
      groups.(words{2}) = words(3:end);
    case 'module'
      sources = {};
      for w = words(3:end)
        if w{1}(1) == '@'
          sources = [sources, groups.(w{1}(2:end))];
        else
          sources{end + 1} = w{1};
        end
      end
      manifest.modules(end + 1) = struct('name', words{2}, 'sources', {sources});
    case {'flags', 'flags-fallback', 'module-flags', 'module-optimize', 'mex-link'}
      manifest.flags(end + 1, :) = {words{1}, words{2}, words(3:end)};
    case 'libs'
      manifest.libs(end + 1, :) = {words{2}, words{3}, words(4:end)};
    case 'mfunction'
      manifest.mfunctions{end + 1} = words{2};
    otherwise
      error('build_mex: %s: unknown line ''%s''', file, lines{k});
  end
end
end

function families = compilerFamilies(isOctave)
% Which "flags" lines of modules.txt apply to the compiler mex will use.
if isOctave
  families = {'gnu'};
  is32bitX86 = ~isempty(regexp(computer(), '^i[3-6]86', 'once'));
  isMinGW = ispc();   % Octave for Windows is built with MinGW-w64
else
  cc = mex.getCompilerConfigurations('C++', 'Selected');
  if isempty(cc)
    error('build_mex: no C++ compiler is selected; run "mex -setup C++" first');
  end
  families = {'gnu'};
  if strcmp(cc(1).Manufacturer, 'Microsoft')
    families = {'msvc'};
  end
  is32bitX86 = any(strcmp(computer('arch'), {'win32', 'glnx86'}));
  isMinGW = ~isempty(strfind(lower(cc(1).Name), 'mingw'));
end
if is32bitX86 && strcmp(families{1}, 'gnu')
  families{end + 1} = 'gnu-x86';
end
if isMinGW
  families{end + 1} = 'mingw';
end
end

function common = mexArguments(flags, moduleFlags, families, isOctave, octfiles, root)
% The arguments of every mex (or mkoctfile) command, before the sources.
% MATLAB's mex takes the language standard and the other flags that must
% hold in every build among the compile flags, the optimisation among the
% optimisation flags, which a debug build (mex -g) replaces.
if isOctave
  common = [flags, moduleFlags.compile, moduleFlags.optimize, moduleFlags.link, {['-I' root]}];
  if isunix() && ~ismac()
    % Export the entry point alone: mexFunction, as the CMake build does, or
    % the function's installer (G<name>).
    map = 'mexFunction.map';
    if octfiles
      map = 'octfile.map';
    end
    common{end + 1} = ['-Wl,--version-script=' fullfile(root, 'cmake', map)];
  end
elseif any(strcmp(families, 'msvc'))
  common = {'-R2018a', ['COMPFLAGS=$COMPFLAGS ' strjoin([flags, moduleFlags.compile], ' ')], ...
            ['OPTIMFLAGS=' strjoin(moduleFlags.optimize, ' ') ' /DNDEBUG'], ['-I' root]};
else
  common = {'-R2018a', ['CXXFLAGS=$CXXFLAGS ' strjoin([flags, moduleFlags.compile], ' ')], ...
            ['CXXOPTIMFLAGS=' strjoin(moduleFlags.optimize, ' ') ' -DNDEBUG'], ['-I' root]};
  if ~isempty(moduleFlags.link)
    % The C++ runtime linked in (Linux). MATLAB's own libraries to link
    % (LINKLIBS) end in -lstdc++, which would bind the module to the
    % compiler's shared runtime first: they are given here without it.
    common = [common, {['LDFLAGS=$LDFLAGS ' strjoin(moduleFlags.link, ' ')], ...
              ['LINKLIBS=-Wl,--as-needed -Wl,-rpath-link,$MATLABROOT/bin/$ARCH ' ...
               '-L"$MATLABROOT/bin/$ARCH" -lmx -lmex -lm']}];
  end
end
end

function [ok, why] = compiles(common, isOctave)
% Whether the compiler takes gateway/compiler_check.h with these mex
% arguments, and if not, why: the check's own words where it stops the
% compiler. (Octave's mex leaves the compiler's
% output on the terminal, so there the compiler is run directly.)
scratch = tempname();
mkdir(scratch);
cleanup = onCleanup(@() rmdir(scratch, 's'));
probe = fullfile(scratch, 'probe.cpp');
fid = fopen(probe, 'w');
fprintf(fid, '#include "gateway/compiler_check.h"\nint exactmex_probe;\n');
fclose(fid);
if isOctave
  args = sprintf(' "%s"', common{:}, '-c', probe, '-o', fullfile(scratch, 'probe.o'));
  [status, output] = system([strtrim(mkoctfile('-p', 'CXX')) args ' 2>&1']);
  ok = status == 0;
else
  try
    evalc('mex(common{:}, ''-c'', probe, ''-outdir'', scratch)');
    ok = true;
  catch err
    ok = false;
    output = err.message;
  end
end
why = '';
if ~ok
  why = regexp(output, '#error:?\s*"?([^"\r\n]*)', 'tokens', 'once');
  if isempty(why)
    why = {['the compiler fails on a test file: ' strtrim(output)]};
  end
  why = why{1};
end
end

function flags = pickFlags(manifest, key, families)
rows = strcmp(manifest.flags(:, 1), key) & ismember(manifest.flags(:, 2), families);
flags = [{}, manifest.flags{rows, 3}];
end

function libs = pickLibs(manifest, name)
rows = strcmp(manifest.libs(:, 1), name) & strcmp(manifest.libs(:, 2), platformName());
libs = [{}, manifest.libs{rows, 3}];
end

function flags = pickLinkFlags(manifest, isOctave)
% The link flags of MEX modules for MATLAB on this platform: Octave's own
% builds keep Octave's runtime.
flags = {};
if ~isOctave
  flags = pickFlags(manifest, 'mex-link', {platformName()});
end
end

function platform = platformName()
platform = 'linux';
if ispc()
  platform = 'windows';
elseif ismac()
  platform = 'macos';
end
end

function loadOnce(outdir, name)
% Calls the module just built, from its folder (which comes before the path)
% with no arguments: a module that loads raises its own error (exactmex:...)
% or returns. One that cannot be loaded, for a library or a name the program
% lacks, raises the loader's message, and the build stops with it. The
% module is cleared before and after, so that the name finds what the path
% says again.
here = pwd();
clear(name);
back = onCleanup(@() restore(here, name));
cd(outdir);
try
  feval(name);
catch err
  if ~strncmp(err.identifier, ['exactmex:' name ':'], numel(name) + 10)
    error('build_mex: %s was built but cannot be loaded here: %s', name, err.message);
  end
end
end

function copyHelp(root, outdir, file)
% A function's help text lives in an .m file beside its MEX file, which runs
% in its place.
source = fullfile(root, 'help', file);
if exist(source, 'file')
  copyfile(source, fullfile(outdir, file));
end
end

function writeHelpHeader(helpfile, header)
% An Octave function's help is the text its binary was built with: the
% comment lines of its help file, '%' taken off, as a C string.
lines = {};
if exist(helpfile, 'file')
  lines = regexp(fileread(helpfile), '\r?\n', 'split');
  lines = lines(strncmp(lines, '%', 1));
end
fid = fopen(header, 'w');
fprintf(fid, '// Made by build_mex from %s.\n#define EXACTMEX_HELP \\\n', helpfile);
for k = 1:numel(lines)
  line = strrep(strrep(lines{k}(2:end), '\', '\\'), '"', '\"');
  fprintf(fid, '  "%s\\n" \\\n', line);
end
fprintf(fid, '  ""\n');
fclose(fid);
end

function removeFolder(folder)
% Removes the folder and the files in it.
files = dir(folder);
for f = files(~[files.isdir])'
  delete(fullfile(folder, f.name));
end
rmdir(folder);
end

function restore(folder, name)
clear(name);
cd(folder);
end
