function cases = identifiers_test
% Every error case of every module's description (module_signatures), called
% from Octave, raises the identifier and the message it gives.
cases = {@every_error_case};
end

function every_error_case
for sig = module_signatures(true)
  require_module(sig.name);
  for k = 1:size(sig.errors, 1)
    [reason, nout, args, message] = sig.errors{k, :};
    expect_error(['exactmex:' sig.name ':' reason], message, nout, str2func(sig.name), args{:});
  end
  printf('     %s: %d cases\n', sig.name, size(sig.errors, 1));
end
end
