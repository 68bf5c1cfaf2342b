ardour {
	["type"]    = "dsp",
	name        = "Vardeko Test Sine",
	category    = "Instrument",
	license     = "MIT",
	author      = "Molvek",
	description = [[A 220 Hz sine locked to the transport position (silence while stopped), so that every render of a range is the same]]
}

function dsp_ioconfig ()
	return { [1] = { audio_in = -1, audio_out = -1 } }
end

function dsp_init (rate)
	sr = rate
end

function dsp_run (ins, outs, n_samples)
	local a = {}
	local rolling = Session:transport_rolling ()
	local pos = Session:transport_sample ()

	for s = 1, n_samples do
		a[s] = rolling and 0.25 * math.sin (2 * math.pi * 220 * ((pos + s - 1) % sr) / sr) or 0
	end

	for c = 1, #outs do
		outs[c]:set_table (a, n_samples)
	end
end
