function [folder, cleanup] = scratch_folder()
% A new empty folder, removed with everything in it when cleanup is cleared.
folder = tempname();
mkdir(folder);
cleanup = onCleanup(@() rmdir(folder, 's'));
end
