-- Creates an Ardour session with the plug-in on a track, a program other than the first chosen
-- from Ardour's preset list and values set in it, as a user saving a song does. Settings from
-- the environment: VARDEKO_SESSION_DIR, VARDEKO_SESSION_NAME, VARDEKO_PLUGIN_TYPE,
-- VARDEKO_PLUGIN_ID, VARDEKO_PRESET_URI (the program's preset as Ardour names it).

local function env (name)
	local v = os.getenv (name)
	assert (v ~= nil and v ~= "", name .. " not set")
	return v
end

local types = { LV2 = ARDOUR.PluginType.LV2, VST3 = ARDOUR.PluginType.VST3 }
AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session (env ("VARDEKO_SESSION_DIR"), env ("VARDEKO_SESSION_NAME"), 48000), "cannot create the session")

local track = Session:new_audio_track (2, 2, nil, 1, "Guitar", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()
local plugin = ARDOUR.LuaAPI.new_plugin (Session, env ("VARDEKO_PLUGIN_ID"), types[env ("VARDEKO_PLUGIN_TYPE")], "")
assert (not plugin:isnil (), "the plug-in was not found")
track:add_processor_by_index (plugin, 0, nil, true)

local p = plugin:to_insert ():plugin (0)
local preset = p:preset_by_uri (env ("VARDEKO_PRESET_URI"))
assert (preset ~= nil, "no preset " .. env ("VARDEKO_PRESET_URI"))
assert (p:load_preset (preset), "the preset did not load")
ARDOUR.LuaAPI.usleep (200000)

-- "Modern Overdrive", Drive 0.9, Tone 0.2, 4x (fractions of each control's range).
local fractions = { [2] = 0.75, [3] = 0.9, [4] = 0.2, [7] = 2 / 3 }

for which, fraction in pairs (fractions) do
	local _, _, pd = ARDOUR.LuaAPI.plugin_automation (plugin, which)
	assert (ARDOUR.LuaAPI.set_processor_param (plugin, which, pd.lower + fraction * (pd.upper - pd.lower)))
end

ARDOUR.LuaAPI.usleep (200000)
Session:save_state ("", false, false, false, false, false)
close_session ()
print ("created with " .. preset.label)
