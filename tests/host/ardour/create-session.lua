-- Creates an Ardour session with the plug-in on a stereo track fed by a sine locked to the
-- transport position, with values away from the defaults and, when asked, the circuit automated from
-- the first to the last at a known time and Drive ramped across it. Run by ardour7-lua; settings from the environment:
--   VARDEKO_SESSION_DIR, VARDEKO_SESSION_NAME  where the session goes
--   VARDEKO_PLUGIN_TYPE   LV2 or VST3
--   VARDEKO_PLUGIN_ID     the LV2 URI or the VST3 plug-in's name
--   VARDEKO_AUTOMATE      1: automate the circuit
--   VARDEKO_SWITCH_SAMPLE the sample at which the automated circuit changes
--   VARDEKO_END_SAMPLE    the end of the session range

local function env (name)
	local v = os.getenv (name)
	assert (v ~= nil and v ~= "", name .. " not set")
	return v
end

local dir, name = env ("VARDEKO_SESSION_DIR"), env ("VARDEKO_SESSION_NAME")
local types = { LV2 = ARDOUR.PluginType.LV2, VST3 = ARDOUR.PluginType.VST3 }
local ptype = types[env ("VARDEKO_PLUGIN_TYPE")]
local switch = tonumber (env ("VARDEKO_SWITCH_SAMPLE"))
local last = tonumber (env ("VARDEKO_END_SAMPLE"))

AudioEngine:set_backend ("None (Dummy)", "", "")
assert (create_session (dir, name, 48000), "cannot create the session")

-- The range that the export renders (stored as a range; the driver makes it the session's).
Session:locations ():add_range (Temporal.timepos_t (0), Temporal.timepos_t (last))

local track = Session:new_audio_track (2, 2, nil, 1, "Guitar", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front ()

-- test-sine.lua, copied into Ardour's script folder by the driver.
local generator = ARDOUR.LuaAPI.new_luaproc (Session, "Vardeko Test Sine")
assert (not generator:isnil (), "no test sine generator")
track:add_processor_by_index (generator, 0, nil, true)

local plugin = ARDOUR.LuaAPI.new_plugin (Session, env ("VARDEKO_PLUGIN_ID"), ptype, "")
assert (not plugin:isnil (), "the plug-in was not found")
track:add_processor_by_index (plugin, 1, nil, true)

-- Values by control number (the plug-in's parameter order), as fractions of each range.
local fractions = { [1] = 0.7, [4] = 0.3, [5] = 0.4, [7] = 2 / 3 }

for which, fraction in pairs (fractions) do
	local _, _, pd = ARDOUR.LuaAPI.plugin_automation (plugin, which)
	assert (ARDOUR.LuaAPI.set_processor_param (plugin, which, pd.lower + fraction * (pd.upper - pd.lower)))
end

if os.getenv ("VARDEKO_AUTOMATE") == "1" then
	-- The circuit: first to last in one step.
	local al, cl, pd = ARDOUR.LuaAPI.plugin_automation (plugin, 2)
	cl:set_interpolation (Evoral.InterpolationStyle.Discrete)
	cl:add (Temporal.timepos_t (0), pd.lower, false, false)
	cl:add (Temporal.timepos_t (switch), pd.upper, false, false)

	local pi = plugin:to_insert ()
	local id = pi:plugin (0):nth_parameter (2, true)
	local ac = pi:to_automatable ():automation_control (Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, id), false)
	assert (not ac:isnil (), "no automation control for the circuit")
	ac:set_automation_state (ARDOUR.AutoState.Play)

	-- Drive: at its default until half a second after the change (a host may hand a ramp's
	-- values over a block early), then up and back down.
	local dal, dcl, dpd = ARDOUR.LuaAPI.plugin_automation (plugin, 3)
	dcl:add (Temporal.timepos_t (0), dpd.lower + 0.5 * (dpd.upper - dpd.lower), false, false)
	dcl:add (Temporal.timepos_t (switch + 24000), dpd.lower + 0.5 * (dpd.upper - dpd.lower), false, false)
	dcl:add (Temporal.timepos_t ((switch + last) // 2), dpd.lower + 0.9 * (dpd.upper - dpd.lower), false, false)
	dcl:add (Temporal.timepos_t (last), dpd.lower + 0.4 * (dpd.upper - dpd.lower), false, false)
	local did = pi:plugin (0):nth_parameter (3, true)
	local dac = pi:to_automatable ():automation_control (Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, did), false)
	assert (not dac:isnil (), "no automation control for Drive")
	dac:set_automation_state (ARDOUR.AutoState.Play)
end

Session:save_state ("", false, false, false, false, false)
close_session ()
print ("created " .. dir)
