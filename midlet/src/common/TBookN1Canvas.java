import com.nokia.mid.ui.FullCanvas;
import javax.microedition.lcdui.Graphics;

/** Full screen on Nokia phones; the soft keys arrive as key codes. */
public class TBookN1Canvas extends FullCanvas {
  protected void paint(Graphics g) {
    TBookCanvasInit.midlet.paint(g);
  }

  protected void keyPressed(int code) {
    TBookCanvasInit.midlet.key(code);
  }

  protected void keyRepeated(int code) {
    TBookCanvasInit.midlet.key(code);
  }
}
