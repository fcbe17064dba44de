function index = index_of_min(D)
% The column of the smallest element of each row of D, the first on ties,
% as MIN gives it: the nearest reference of each query, from the table of
% every query's distance to every reference. Used by exactmex_demo.m.
[~, index] = min(D, [], 2);
end
