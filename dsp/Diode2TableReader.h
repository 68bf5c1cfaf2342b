#pragma once

#include "dsp/DiodeTableReaderBase.h"

#include <juce_core/juce_core.h>

// A diode clipper with its capacitor, read from a table of the next output over the input
// and the previous output. The memory term depends on the time step, so there is one table
// per internal sample rate; the reader switches tables when the oversampled rate changes.
//
// Tables are read into the idle one of two buffers (off the audio thread) and put in use by
// swapTables, so the lookup never reads a buffer that is being written.
//
// This base reads tables from a folder of table files; the circuit readers serve the tables
// compiled into the library instead (DiodeTableReaderBase).
// A buffer of a Diode2TableReader with the grid it was read with.
struct Diode2TableView
{
    const float* values = nullptr;
    int nxMinus1 = 1;
    int nyMinus1 = 1;
    int ny = 2;
    // The float geometry of the file, held as doubles for the lookup (exact conversions).
    double xOffset = 1.0;
    double xScale = 0.5;
    double yOffset = 1.0;
    double yScale = 0.5;
    double xLast = 1.0; // nxMinus1, nyMinus1
    double yLast = 1.0;
    float rate = -1.0f;
};

class Diode2TableReader : public DiodeTableReaderBase<Diode2TableView>
{
public:
    // A reader of the table files in folder.
    explicit Diode2TableReader (const juce::File& folder);

    void clearState() override;

    // Picks the effective rate from the host rate and the oversampling index and, when the
    // rate changed, reads its table into the idle buffer; a rate without a table gets the
    // table of the nearest rate that has one.
    void update() override;

    // Inline, so that the drive stages' sample loops take the lookup in.
    void processStereoSample (double& left, double& right) final
    {
        const auto& table = buffers.getActive();
        left = previousLeft = lookUp (table, left, previousLeft);
        right = previousRight = lookUp (table, right, previousRight);
    }

    void processMonoSample (double& x) final { x = previousLeft = lookUp (buffers.getActive(), x, previousLeft); }

    // Reads the table of the prefix for an effective rate into destination.
    virtual bool readTable (const juce::String& prefix, float rate, float* destination);

    // The values of the prefix's table for an effective rate, taken by update: the ones the
    // process shares for an embedded set, else read into the idle buffer. nullptr when there
    // is no such table.
    virtual const float* takeTable (const juce::String& prefix, float rate);

    // Entry count of the prefix's tables: all eight rates must have one; 0 otherwise.
    int getTableSize() override;

    // The sample rate of the table in use; -1 when none or the all-zero table is in use.
    float getActiveTableRate() const noexcept;

    // The effective rates that have tables.
    static constexpr int numTableRates = 8;
    static const float tableRates[numTableRates];

    // The table rate closest to rate (the lower one on a tie).
    static float getNearestTableRate (float rate) noexcept;

    // prefix + "Output" + whole kHz + ".dat"
    static juce::String getTableFileName (const juce::String& prefix, float rate);

protected:
    // A circuit's reader: the set compiled into the library.
    explicit Diode2TableReader (const char* embeddedSet, const juce::File& folder = {});

    // Reads a table file image: the name must match, the version be 1 and the rate equal rate
    // exactly; the grid must fit the buffers. Copies the geometry, then the values.
    bool readTableFrom (juce::InputStream& in, const juce::String& name, float rate, float* destination);

    // The header checks of readTableFrom; copies the geometry when they pass.
    bool acceptHeader (juce::InputStream& in, const juce::String& name, float rate, DiodeTableHeader& header);

    void useSilence() override;

private:
    // The lookup takes a buffer and its grid through one pointer, so a table always comes
    // with its own grid, whatever is being read meanwhile.
    using TableView = Diode2TableView;

    static const TableView& noTable() noexcept;

    // Bilinear interpolation between the four points around (x, previous): the cell and its
    // fractions, then the weighted sum in double precision, always in this order.
    static double lookUp (const TableView& table, double x, double previous) noexcept
    {
        const double u = (x + table.xOffset) * table.xScale;
        const double v = (previous + table.yOffset) * table.yScale;

        // Inside the grid (NaN is not), where the four points are distinct.
        if (u >= 0.0 && u < table.xLast && v >= 0.0 && v < table.yLast)
        {
            const int i = static_cast<int> (u);
            const int j = static_cast<int> (v);
            const double fx = u - i;
            const double fy = v - j;
            const float* row0 = table.values + i * table.ny + j;
            const float* row1 = row0 + table.ny;
            return weigh (row0[0], row1[0], row0[1], row1[1], fx, fy);
        }

        return lookUpAtEdge (table, u, v);
    }

    // Clamped to the first or last point outside the grid; the centre for NaN.
    static double lookUpAtEdge (const TableView& table, double u, double v) noexcept;

    static double weigh (float t00, float t10, float t01, float t11, double fx, double fy) noexcept
    {
        return static_cast<double> (t00) * (1.0 - fx) * (1.0 - fy)
               + static_cast<double> (t10) * fx * (1.0 - fy)
               + static_cast<double> (t01) * (1.0 - fx) * fy
               + static_cast<double> (t11) * fx * fy;
    }

    void setGeometry (int newNx, int newNy, int newCount, float newXmin, float newXmax, float newYmin, float newYmax);
    TableView makeView (const float* values, float rate) const;

    int nx = 2;
    int ny = 2;
    int count = 4;
    int nxMinus1 = 1;
    int nyMinus1 = 1;
    float xmin = -1.0f;
    float xmax = 1.0f;
    float ymin = -1.0f;
    float ymax = 1.0f;
    float xRange = 2.0f;
    float xOffset = 1.0f;
    float xScale = 0.5f;
    float yRange = 2.0f;
    float yOffset = 1.0f;
    float yScale = 0.5f;
    double previousLeft = 0.0;
    double previousRight = 0.0;
};
