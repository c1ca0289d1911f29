/** What every canvas starts from: the midlet that it forwards painting and keys to. */
final class TBookCanvasInit {
  static TBookMIDlet midlet;
}
