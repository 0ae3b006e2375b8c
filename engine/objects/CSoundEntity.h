#pragma once
// A sound on a marker: one sound file played while the content object's
// marker is seen. Built from a <SOUND> block of an entity description:
//
//   <SOUND>
//       <FILE> models/sounds/chime.wav
//       <GAIN_MODE> CAMDIS 0 1         GAIN g | CAMDIS low high | VEL low high |
//                                      3D g | PITCHD g low high | PITCHV g low high
//       <TRANSPORT_MODE> LOOP          PLAY | LOOP | PAUSEP seconds | CONT_LOOP
//   </SOUND>
//
// Gain modes: constant gain; gain following the marker's distance from the
// camera (low at 240 mm, high at 2000 mm, straight on beyond both ends) or
// its movement per frame (low at 1 mm, high at 30 mm); a positional sound
// placed at the marker, so it pans and fades with it; pitch following the
// distance or the movement.
// Transports: PLAY plays once each time the marker comes into view and stops
// when it is lost; LOOP loops while the marker is seen and pauses while it is
// lost (resuming where it was); PAUSEP plays, then waits its seconds after
// each end before playing again; CONT_LOOP loops from the first sighting on
// and is muted while the marker is lost. A marker back after a long loss
// starts the sound over (except CONT_LOOP).
//
// Nothing sounds before the marker is first seen. A sound file that does not
// load is reported once ("Unable to load sound <file>" on standard output,
// the reason in the log) and the entity stays silent; without a sound device
// it is silent without a word.
//
// The entity owns its sound source and releases it in CleanUp (or when it is
// destroyed); it needs the sound manager's context while it plays. Its node
// (an empty group named "Sound") goes under the content object's second node.
// update allocates nothing.

#include "CMarkerEntity.h"
#include "CSoundSource.h"

#include <osg/Group>
#include <osg/ref_ptr>

#include <string>
#include <vector>

class COsgSettings;

class CSoundEntity : public CMarkerEntity
{
public:
    enum GainMode
    {
        GAIN_CONSTANT = 0,   // "GAIN"
        GAIN_DISTANCE = 1,   // "CAMDIS"
        GAIN_VELOCITY = 2,   // "VEL"
        GAIN_POSITIONAL = 3, // "3D"
        PITCH_DISTANCE = 4,  // "PITCHD"
        PITCH_VELOCITY = 5   // "PITCHV"
    };
    enum TransportMode
    {
        TRANSPORT_PLAY = 0,      // "PLAY"
        TRANSPORT_LOOP = 1,      // "LOOP"
        TRANSPORT_PAUSE = 2,     // "PAUSEP"
        TRANSPORT_CONT_LOOP = 4  // "CONT_LOOP"
    };

    /// Distance from the camera at which a positional sound has its full
    /// gain (mm); farther away its gain is this distance over the marker's.
    static constexpr float kPositionalReferenceDistance = 240.f;

    CSoundEntity();
    ~CSoundEntity() override;
    CSoundEntity(const CSoundEntity&) = delete;
    CSoundEntity& operator=(const CSoundEntity&) = delete;

    /// Reads the <SOUND> block the reader stands on and builds the entity,
    /// which the caller owns.
    /// Leaves the reader on </SOUND>, or, when the block is not closed before
    /// a line starting with one of `stops`, on the block's last line (with a warning).
    static CSoundEntity* Read(COsgSettings& reader, const std::vector<std::string>& stops);

    /// Loads the sound and prepares it for the modes set (the source's
    /// looping, gain and pitch). Called by Read; tests call it after the setters.
    void Build();
    void SetFileName(const std::string& file) { m_fileName = file; }
    /// `gain` for GAIN, 3D, PITCHD and PITCHV; `low` and `high` for the others.
    void SetGainMode(GainMode mode, float gain, float low, float high);
    /// `pauseSeconds` for PAUSEP.
    void SetTransportMode(TransportMode mode, float pauseSeconds = 0.f);

    void update(float seconds, const MarkerState& state) override;
    void Trigger(std::vector<int> keys) override {}
    void CleanUp() override;
    char* GetDescription() override;
    void Save(COsgSettings& writer) override;

    osg::Group* GetNode() { return m_node.get(); }
    CSoundSource& GetSource() { return m_source; }
    const std::string& GetFileName() const { return m_fileName; }
    int GetGainMode() const { return m_gainMode; }
    int GetTransportMode() const { return m_transportMode; }
    float GetGain() const { return m_gain; }
    float GetPitch() const { return m_pitch; }
    float GetLow() const { return m_low; }
    float GetHigh() const { return m_high; }
    float GetPauseTime() const { return m_pauseTime; }
    bool IsMarkedPlaying() const { return m_playing; }

private:
    void ReadLine(COsgSettings& reader, const std::string& tag);
    void ReadGainMode(COsgSettings& reader);
    void ReadTransportMode(COsgSettings& reader);
    void UpdateVisible(float seconds, const MarkerState& state);
    void UpdateHidden();
    void PlayAgainAfterEnd(float seconds);
    void Modulate(const MarkerState& state);
    void ApplyGain(float gain);
    std::string GainWords() const;
    std::string TransportWords() const;

    CSoundSource m_source;
    std::string m_fileName;
    int m_gainMode = GAIN_CONSTANT;
    int m_transportMode = TRANSPORT_PLAY;
    float m_gain = 1.f;
    float m_pitch = 1.f;
    float m_low = 0.f;
    float m_high = 1.f;
    float m_range = 1.f;      // high - low
    float m_pauseTime = 0.f;  // seconds, PAUSEP
    int m_loopFlag = 0;       // 1: LOOP, PAUSEP and CONT_LOOP play again after an end
    float m_pauseTimer = 0.f;
    bool m_playing = false;
    bool m_pausing = false;   // the PAUSEP wait is running
    osg::ref_ptr<osg::Group> m_node;
};
