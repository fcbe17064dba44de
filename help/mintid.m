%MINTID  Make a fresh 16-byte globally unique identifier.
%   [ok, id] = MINTID() asks the operating system for a new identifier and
%   returns ok, a logical scalar, and id, a 1-by-16 uint8 row of its bytes
%   as the Windows GUID record holds them: Data1, Data2 and Data3 least
%   significant byte first, then the 8 bytes of Data4. When the service fails
%   ok is false and id is a 0-by-0 uint8 array. MINTID takes no inputs and
%   must be called with exactly two outputs.
%
%   On Windows the identifier comes from CoCreateGuid; elsewhere it is a
%   random (version 4) identifier from the operating system's random source.
%
%   Example:
%      [ok, id] = mintid();
%      if ok, disp(sprintf('%02x', id)), end
