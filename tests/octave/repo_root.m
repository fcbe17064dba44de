function root = repo_root()
% The repository's top folder.
root = fileparts(fileparts(fileparts(mfilename('fullpath'))));
end
