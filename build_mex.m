function varargout = build_mex(outdir, varargin)
%BUILD_MEX  Compile the exactmex modules for the running program.
%   BUILD_MEX compiles every module listed in modules.txt, with the flags
%   listed there, and puts the binaries and their help files in one folder:
%   build/octave/exactmex (GNU Octave) or build/matlab/exactmex (MATLAB),
%   under the folder of this file. Add that folder to the path:
%      addpath(fullfile(pwd, 'build', 'matlab', 'exactmex'))
%   MATLAB gets MEX files (its mex command); Octave gets its own native
%   functions, oct-files (mkoctfile), which hand their outputs over without
%   a copy and stop at Ctrl-C.
%
%   BUILD_MEX(OUTDIR) puts them in OUTDIR instead.
%   BUILD_MEX(OUTDIR, NAME, ...) builds only the named modules.
%   BUILD_MEX(OUTDIR, '-mex', ...) builds MEX files in Octave too.
%   DIR = BUILD_MEX(...) returns the folder.
%
%   Compilers: GCC or Clang (Octave everywhere; MATLAB on Linux, on macOS and
%   with MinGW-w64 on Windows) and Microsoft Visual C++ (MATLAB on Windows).
%   In MATLAB, pick one first with: mex -setup C++

root = fileparts(mfilename('fullpath'));
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

manifest = readManifest(fullfile(root, 'modules.txt'));
names = {manifest.modules.name};
if ~isempty(varargin)
  unknown = setdiff(varargin, names);
  if ~isempty(unknown)
    error('build_mex: modules.txt lists no module named ''%s''', unknown{1});
  end
  names = varargin;
end

families = compilerFamilies(isOctave);
flags = pickFlags(manifest, 'flags', families);
moduleFlags = pickFlags(manifest, 'module-flags', families);
if isOctave
  common = [flags, moduleFlags, {['-I' root]}];
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
  common = {'-R2018a', ['COMPFLAGS=$COMPFLAGS ' strjoin(flags, ' ')], ...
            ['OPTIMFLAGS=' strjoin(moduleFlags, ' ') ' /DNDEBUG'], ['-I' root]};
else
  common = {'-R2018a', ['CXXFLAGS=$CXXFLAGS ' strjoin(flags, ' ')], ...
            ['CXXOPTIMFLAGS=' strjoin(moduleFlags, ' ') ' -DNDEBUG'], ['-I' root]};
end

if ~isfolder(outdir)
  mkdir(outdir);
end
for k = 1:numel(names)
  module = manifest.modules(strcmp({manifest.modules.name}, names{k}));
  sources = fullfile(root, module.sources);
  libs = strcat('-l', pickLibs(manifest, module.name));
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
copyHelp(root, outdir, 'Contents.m');
fprintf('build_mex: %d module(s) in %s\n', numel(names), outdir);
if nargout > 0
  varargout{1} = outdir;
end
end

function manifest = readManifest(file)
% Lines "flags FAMILY FLAG...", "module-flags FAMILY FLAG...",
% "module NAME SOURCE..." and "libs NAME PLATFORM LIB..."; '#' starts a
% comment.
manifest.flags = cell(0, 3);
manifest.libs = cell(0, 3);
manifest.modules = struct('name', {}, 'sources', {});
lines = regexp(fileread(file), '\r?\n', 'split');
for k = 1:numel(lines)
  words = regexp(regexprep(lines{k}, '#.*', ''), '\S+', 'match');
  if isempty(words)
    continue
  end
  switch words{1}
    case 'module'
      manifest.modules(end + 1) = struct('name', words{2}, 'sources', {words(3:end)});
    case {'flags', 'module-flags'}
      manifest.flags(end + 1, :) = {words{1}, words{2}, words(3:end)};
    case 'libs'
      manifest.libs(end + 1, :) = {words{2}, words{3}, words(4:end)};
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
end
if is32bitX86 && strcmp(families{1}, 'gnu')
  families{end + 1} = 'gnu-x86';
end
end

function flags = pickFlags(manifest, key, families)
rows = strcmp(manifest.flags(:, 1), key) & ismember(manifest.flags(:, 2), families);
flags = [{}, manifest.flags{rows, 3}];
end

function libs = pickLibs(manifest, name)
platform = 'linux';
if ispc()
  platform = 'windows';
elseif ismac()
  platform = 'macos';
end
rows = strcmp(manifest.libs(:, 1), name) & strcmp(manifest.libs(:, 2), platform);
libs = [{}, manifest.libs{rows, 3}];
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

function copyHelp(root, outdir, file)
% A function's help text lives in an .m file beside its MEX file, which runs
% in its place.
source = fullfile(root, 'help', file);
if exist(source, 'file')
  copyfile(source, fullfile(outdir, file));
end
end
