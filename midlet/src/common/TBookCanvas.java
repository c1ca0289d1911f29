import javax.microedition.lcdui.Canvas;
import javax.microedition.lcdui.Graphics;

/**
 * The plain MIDP 1.0 canvas. It also picks the best canvas that the phone offers. Its file has
 * a fixed size with no room for key repeats; the full-screen canvases repeat keys.
 */
public class TBookCanvas extends Canvas {
  /**
   * A MIDP 2.0 full-screen canvas, else a Nokia full canvas, else this plain one. The other two
   * are made by name once their base API is found, so that a phone never loads a class whose
   * base class or method it lacks.
   */
  static Object make() {
    try {
      Class.forName("javax.microedition.lcdui.game.GameCanvas");
      return Class.forName("TBookN2Canvas").newInstance();
    } catch (Throwable noMidp2) {
    }
    try {
      Class.forName("com.nokia.mid.ui.FullCanvas");
      return Class.forName("TBookN1Canvas").newInstance();
    } catch (Throwable noNokiaUi) {
    }
    return new TBookCanvas();
  }

  protected void paint(Graphics g) {
    TBookCanvasInit.midlet.paint(g);
  }

  protected void keyPressed(int code) {
    TBookCanvasInit.midlet.key(code);
  }
}
