% exactmex at work: every function on a small example, then realistic uses
% timed next to the equivalent built-in code, and a picture of a distance
% matrix saved as a PNG file.
%
% From the repository's top folder:
%    bash tools/demo.sh             builds the modules for Octave and runs this
%    run examples/exactmex_demo.m   in Octave or MATLAB, with the folder that
%                                   build_mex made on the path
% The picture goes to build/demo/, or to the folder named by the environment
% variable EXACTMEX_DEMO_DIR.

functions = {'lanefuse', 'crossfuse', 'meshapply', 'sampledist', 'bindist', 'sampleknn', ...
             'binknn', 'mintid'};
built = functions(cellfun(@(f) exist(f) == 3, functions));
if isempty(built)
  error('exactmex_demo: no exactmex function is on the path; run build_mex and add its folder');
end
has = @(name) any(strcmp(built, name));
if numel(built) < numel(functions)
  fprintf('Not built yet, so left out below: %s\n', strjoin(setdiff(functions, built), ', '));
end
host = 'MATLAB';
if exist('OCTAVE_VERSION', 'builtin')
  host = 'Octave';
end
rng(0);

%% Small examples
fprintf('\n== Each function on a small example\n');
examples = {
  'lanefuse',   'lanefuse([1 2; 3 4], [10 20], 2, 1)',        'a row added to every row'
  'lanefuse',   'lanefuse([1 NaN; 3 -4], [2; 2], 1, 3)',      'maximum with a column; a NaN in X gives way'
  'crossfuse',  'crossfuse([1 2 3; 4 5 6], [10 20 30], [1; 2], 1)', '(row + X) + column, in one pass'
  'meshapply',  'meshapply([1 2 3], [10 20], 3)',             'absolute difference of every pair'
  'sampledist', 'sampledist([1 2; 3 4], [0 1; 0 1], 1)',      'L1 distance between every pair of columns'
  'bindist',    'bindist([1 0; 0 1], [1; 0], 3)',             'log divergence: 0 for equal histograms, 2 log 2 for disjoint'
};
for k = 1:size(examples, 1)
  if has(examples{k, 1})
    fprintf('\n%s   %% %s\n', examples{k, 2}, examples{k, 3});
    disp(eval(examples{k, 2}));
  end
end
nearest_examples = {
  'sampleknn', '[D, I] = sampleknn([0 5 1], [0.9 4], 1, 2)', 'the 2 nearest columns of X1 to each column of X2'
  'binknn',    '[D, I] = binknn([1 0 1; 1 2 1], [1; 1], 2, 2)', 'the 2 nearest histograms by chi-square: a tie, by column'
};
for k = 1:size(nearest_examples, 1)
  if has(nearest_examples{k, 1})
    fprintf('\n%s   %% %s\n', nearest_examples{k, 2}, nearest_examples{k, 3});
    eval([nearest_examples{k, 2} ';']);
    D, I
  end
end
if has('mintid')
  [ok, id] = mintid();
  fprintf('\n[ok, id] = mintid()   %% a fresh identifier\nok = %d, id = %s\n', ok, sprintf('%02x', id));
end

%% Realistic uses, timed
fprintf('\n== Realistic uses: time of one call (best of 5) next to %s''s own code\n', host);
fprintf('%-52s %10s %10s %8s  %s\n', 'task', 'exactmex', host, 'speed-up', 'same bits');
report = @(task, ours, theirs, same) fprintf('%-52s %8.1f ms %7.1f ms %7.1fx  %s\n', ...
  task, 1e3 * ours, 1e3 * theirs, theirs / ours, mat2str(same));
same_bits = @(a, b) isequal(size(a), size(b)) && isequal(typecast(a(:), 'uint64'), typecast(b(:), 'uint64'));

X = randn(2000);
c = randn(2000, 1);
r = randn(1, 2000);
if has('lanefuse')
  report('lanefuse: X + v, 2000x2000', best_time(@() lanefuse(X, c, 1, 1)), ...
         best_time(@() X + c), same_bits(lanefuse(X, c, 1, 1), X + c));
end
if has('crossfuse')
  report('crossfuse: (vrow + X) + vcol, 2000x2000', best_time(@() crossfuse(X, r, c, 1)), ...
         best_time(@() (r + X) + c), same_bits(crossfuse(X, r, c, 1), (r + X) + c));
end
if has('meshapply')
  x = randn(2000, 1);
  report('meshapply: abs(x(:) - y(:).''), 2000 by 2000', best_time(@() meshapply(x, r, 3)), ...
         best_time(@() abs(x(:) - r(:).')), same_bits(meshapply(x, r, 3), abs(x(:) - r(:).')));
end

% L1 matching of samples: which of 2000 reference samples (16 features) is
% nearest to each of 2000 noisy queries?
if has('sampledist')
  refs = randn(16, 2000);
  truth = randperm(2000);
  queries = refs(:, truth) + 0.1 * randn(16, 2000);
  octave_l1 = @() cell2mat(arrayfun(@(j) sum(abs(queries - refs(:, j)), 1).', 1:2000, ...
                                    'UniformOutput', false));
  D = sampledist(queries, refs, 1);
  report('sampledist: L1, 2000 x 2000 samples of 16', best_time(@() sampledist(queries, refs, 1)), ...
         best_time(octave_l1), same_bits(D, octave_l1()));
  if has('sampleknn')
    % The nearest reference of each query, without the table: I(1, j).
    [~, I] = sampleknn(refs, queries, 1, 1);
    octave_nearest = @() index_of_min(octave_l1());
    report('sampleknn: nearest of 2000 references, 2000 queries', ...
           best_time(@() sampleknn(refs, queries, 1, 1)), best_time(octave_nearest), ...
           isequal(I(:), octave_nearest()));
    fprintf('   nearest reference found for %.1f%% of the queries\n', 100 * mean(I == truth));
  end
end

% Nearest-neighbour matching of histograms: 1000 colour histograms of 64
% bins, and 1000 queries that are the same scenes with noise, shuffled.
if has('bindist')
  hists = rand(64, 1000) .^ 4;
  hists = hists ./ sum(hists, 1);
  truth = randperm(1000);
  queries = hists(:, truth) .* (1 + 0.2 * rand(64, 1000));
  queries = queries ./ sum(queries, 1);
  octave_chi2 = @() cell2mat(arrayfun(@(j) sum((queries - hists(:, j)) .^ 2 ./ ...
                                      ((queries + hists(:, j)) * 2), 1).', 1:1000, 'UniformOutput', false));
  D = bindist(queries, hists, 2);
  report('bindist: chi-square, 1000 x 1000 histograms of 64', ...
         best_time(@() bindist(queries, hists, 2)), best_time(octave_chi2), same_bits(D, octave_chi2()));
  if has('binknn')
    [~, I] = binknn(hists, queries, 2, 1);
    octave_nearest = @() index_of_min(octave_chi2());
    report('binknn: nearest of 1000 histograms, 1000 queries', ...
           best_time(@() binknn(hists, queries, 2, 1)), best_time(octave_nearest), ...
           isequal(I(:), octave_nearest()));
    fprintf('   nearest histogram is the true scene for %.1f%% of the queries\n', ...
            100 * mean(I == truth));
  end
end

%% A picture: log divergence between histograms from six sources
if has('bindist')
  sources = rand(64, 6) .^ 6;
  members = repelem(1:6, 40);
  samples = sources(:, members) .* (0.5 + rand(64, numel(members)));
  samples = samples ./ sum(samples, 1);
  D = bindist(samples, samples, 3);
  folder = getenv('EXACTMEX_DEMO_DIR');
  if isempty(folder)
    folder = fullfile(fileparts(fileparts(mfilename('fullpath'))), 'build', 'demo');
  end
  if ~isfolder(folder)
    mkdir(folder);
  end
  file = fullfile(folder, 'distances.png');
  if exist('OCTAVE_VERSION', 'builtin')
    warning('off', 'Octave:gnuplot-graphics');
  end
  figure_handle = figure('visible', 'off');
  imagesc(D);
  axis image;
  colorbar;
  title('bindist(H, H, 3): 240 histograms, 40 from each of 6 sources');
  xlabel('histogram');
  ylabel('histogram');
  print(figure_handle, '-dpng', '-r90', file);
  close(figure_handle);
  fprintf('\n== Picture\nDistance matrix of 240 histograms (dark blocks: same source) saved to\n%s\n', file);
end
