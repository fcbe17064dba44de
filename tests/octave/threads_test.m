function cases = threads_test
% Worker threads seen from Octave: EXACTMEX_THREADS, set with setenv, takes
% effect at the next call and never changes a bit; unloading a module (clear)
% ends its workers, over a thousand cycles of loading, calling and clearing;
% a forked child makes its own workers while the parent keeps its.
% The cycles clear all functions, these cases' own among them: they run last.
cases = {@threads_variable_is_read_at_every_call, @forked_children_make_their_own_workers, ...
         @load_call_clear_cycles};
end

function [A, B, want, restore] = threaded_start(threads)
% Inputs just over the work a call shares with workers (300 x 300 pairs of
% 64), EXACTMEX_THREADS set to THREADS until restore is cleared, the module
% loaded afresh, and its result.
require_module('sampledist');
rand('state', 15);
A = rand(64, 300);
B = rand(64, 300);
old = getenv('EXACTMEX_THREADS');
setenv('EXACTMEX_THREADS', threads);
restore = onCleanup(@() setenv('EXACTMEX_THREADS', old));
clear sampledist
want = sampledist(A, B, 1);
end

function threads_variable_is_read_at_every_call
[A, B, want, restore] = threaded_start('1');
assert(worker_threads() == 0, 'one thread asked for, yet %d workers', worker_threads());
for threads = {'3', '2', '7'}
  setenv('EXACTMEX_THREADS', threads{1});
  assert_bits(sampledist(A, B, 1), want);
end
% The pool keeps the workers of its largest call.
assert(worker_threads() == 6, '%d workers after calls on 7 threads', worker_threads());
clear sampledist
assert(worker_threads(0) == 0, 'workers left after clearing the module');
end

function load_call_clear_cycles
[A, B, want, restore] = threaded_start('2');
for cycle = 1:1000
  assert_bits(sampledist(A, B, 1), want);
  if mod(cycle, 2)
    clear sampledist
  else
    evalin('base', 'clear all');
  end
  assert(worker_threads(0) == 0, 'cycle %d: workers left after clearing the module', cycle);
end
end

function forked_children_make_their_own_workers
% A child of fork (Octave's fork, or any library the host calls that forks)
% inherits the parent's pool but none of its threads: its calls start a
% worker of its own, and the parent's calls go on with the parent's after.
% parcellfun's workers, which this version of the parallel package starts
% as new Octave processes, call the same module too.
[A, B, want, restore] = threaded_start('2');
assert(worker_threads() == 1, '%d workers in the parent', worker_threads());
% Cleanups would run in the child too, at its exit: the parent removes it.
report = [tempname() '.txt'];
pid = fork();
if pid == 0
  % The child reports and ends here, whatever happens.
  try
    before = worker_threads();
    D = sampledist(A, B, 1);
    seen = sprintf('%d %d %d', before, worker_threads(), ...
                   isequal(typecast(D(:), 'uint64'), typecast(want(:), 'uint64')));
  catch err
    seen = err.message;
  end
  fid = fopen(report, 'w');
  fputs(fid, seen);
  fclose(fid);
  exit(0);
end
assert(pid > 0, 'fork failed');
[~, status] = waitpid(pid);
assert(status == 0, 'the child ended with status %d', status);
seen = fileread(report);
unlink(report);
assert(strcmp(seen, '0 1 1'), ['the child should see no workers before its call, one ' ...
                               'after, and the same bits (0 1 1): %s'], seen);
assert_bits(sampledist(A, B, 1), want);
assert(worker_threads() == 1, '%d workers in the parent after the child', worker_threads());

pkg load parallel
child = @(k) sampledist(A, B, 1);
D = parcellfun(2, child, {1, 2, 3}, 'UniformOutput', false, 'VerboseLevel', 0);
for k = 1:numel(D)
  assert_bits(D{k}, want);
end
assert_bits(sampledist(A, B, 1), want);
end
