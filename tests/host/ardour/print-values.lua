-- Loads an Ardour session and prints the values that Ardour shows for the plug-in's controls
-- (the plug-in on the first track, after the sine generator), each as a fraction of its range:
--   VALUE <control number> <fraction>
-- and the latency Ardour compensates for it:
--   LATENCY <samples>
-- Settings from the environment: VARDEKO_SESSION_DIR, VARDEKO_SESSION_NAME, VARDEKO_PLUGIN_SLOT
-- (the plug-in's place on the track, 1 when unset), VARDEKO_RESAVE (1: save the session again,
-- as a user does after reopening it).

AudioEngine:set_backend ("None (Dummy)", "", "")
assert (load_session (os.getenv ("VARDEKO_SESSION_DIR"), os.getenv ("VARDEKO_SESSION_NAME")), "cannot load the session")

local track = Session:route_by_name ("Guitar")
assert (not track:isnil (), "no track")
local plugin = track:nth_plugin (tonumber (os.getenv ("VARDEKO_PLUGIN_SLOT") or "1"))
assert (not plugin:isnil (), "no plug-in after the generator")

-- Let the engine run a few cycles: values the plug-in hands the host arrive with them.
ARDOUR.LuaAPI.usleep (300000)

for which = 0, 7 do
	local value, ok = ARDOUR.LuaAPI.get_processor_param (plugin, which, true)
	local _, _, pd = ARDOUR.LuaAPI.plugin_automation (plugin, which)
	print (string.format ("VALUE %d %.5f", which, (value - pd.lower) / (pd.upper - pd.lower)))
end

local ok, latency = pcall (function () return plugin:signal_latency () end)
print ("LATENCY " .. (ok and string.format ("%d", latency) or "unknown"))

if os.getenv ("VARDEKO_RESAVE") == "1" then
	Session:save_state ("", false, false, false, false, false)
end

close_session ()
