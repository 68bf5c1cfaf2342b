-- Loads an Ardour session and prints the values that Ardour shows for the plug-in's controls
-- (the plug-in on the first track, after the sine generator), each as a fraction of its range:
--   VALUE <control number> <fraction>
-- Settings from the environment: VARDEKO_SESSION_DIR, VARDEKO_SESSION_NAME.

AudioEngine:set_backend ("None (Dummy)", "", "")
assert (load_session (os.getenv ("VARDEKO_SESSION_DIR"), os.getenv ("VARDEKO_SESSION_NAME")), "cannot load the session")

local track = Session:route_by_name ("Guitar")
assert (not track:isnil (), "no track")
local plugin = track:nth_plugin (1)
assert (not plugin:isnil (), "no plug-in after the generator")

for which = 0, 7 do
	local value, ok = ARDOUR.LuaAPI.get_processor_param (plugin, which, true)
	local _, _, pd = ARDOUR.LuaAPI.plugin_automation (plugin, which)
	print (string.format ("VALUE %d %.5f", which, (value - pd.lower) / (pd.upper - pd.lower)))
end

close_session ()
