function n = worker_threads(want)
% The worker threads of this process, counted by the name the pool gives
% them. worker_threads(WANT) waits until the count has fallen to WANT, for up
% to a minute (a joined thread stays listed until the system has ended it,
% which under load takes a while), and returns the last count. Skips the
% calling case where the system does not list threads.
if ~exist('/proc/self/task', 'dir')
  error('exactmex:skip', 'this system does not list the threads of a process');
end
deadline = time() + 60;
while true
  n = 0;
  for task = readdir('/proc/self/task')'
    % A thread may end between the listing and the reading of its name.
    fid = fopen(['/proc/self/task/' task{1} '/comm'], 'r');
    if task{1}(1) ~= '.' && fid >= 0
      n = n + strcmp(strtrim(fgetl(fid)), 'exactmex worker');
    end
    if fid >= 0
      fclose(fid);
    end
  end
  if nargin == 0 || n <= want || time() > deadline
    return
  end
  pause(0.01);
end
end
