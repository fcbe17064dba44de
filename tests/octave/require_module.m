function require_module(varargin)
% Skips the calling case (error id exactmex:skip) when a module it needs is
% not in modules.txt yet. A listed module whose binary is not on the path
% is a broken build, and fails.
for k = 1:numel(varargin)
  name = varargin{k};
  if exist(name) == 3
    continue
  end
  if any(strcmp(build_mex('-list'), name))
    error('%s is listed in modules.txt but not built on the path', name);
  end
  error('exactmex:skip', '%s is not built: modules.txt has no "module %s" line yet', name, name);
end
end
