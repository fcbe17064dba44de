function names = listed_modules()
% Names of the modules in modules.txt, in file order.
text = fileread(fullfile(repo_root(), 'modules.txt'));
tokens = regexp(text, '^\s*module\s+(\S+)', 'tokens', 'lineanchors');
names = cellfun(@(t) t{1}, tokens, 'UniformOutput', false);
end
